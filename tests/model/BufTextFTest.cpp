#include "model/BufTextF.h"

#include "platform/Files.h"
#include "platform/SysUtils.h"
#include "support/Raised.h"
#include "support/TempPrefix.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

std::string TempFile(const std::string& Content) {
    const std::string path = test::TempPrefix() + "/file.txt";
    test::WriteNative(path, Content);
    return path;
}

std::string ReadAll(const std::string& Path, uint16_t BufferSize) {
    TBufTextFile file(Path, BufferSize, tmRead);
    std::string out;
    while (!file.EndOfStream())
        out += "[" + file.ReadLine() + "]";
    return out + std::to_string(file.LineNumber());
}

TEST(BufTextFileTest, ReadsEveryLineEndStyle) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "0"},
        {"a", "[a]1"},
        {"a\r\nb\r\n", "[a][b]2"},
        {"a\nb\n", "[a][b]2"},
        {"a\rb\r", "[a][b]2"},
        {"a\n\rb", "[a][b]2"},
        {"a\r\n\r\nb", "[a][][b]3"},
        {"a\n\nb", "[a][][b]3"},
        {"a\r\rb", "[a][][b]3"},
        {"\r\n", "[]1"},
        {"long line of text\r\nx", "[long line of text][x]2"},
    };
    for (const auto& [content, expected] : cases) {
        const std::string path = TempFile(content);
        for (uint16_t size : {1, 2, 3, 7, 65535}) // lines and line ends across refills
            EXPECT_EQ(ReadAll(path, size), expected) << content << " buffer " << size;
    }
}

TEST(BufTextFileTest, WritesAppendsAndResets) {
    const std::string path = test::TempPrefix() + "/out.txt";
    {
        TBufTextFile file(path, 4, tmCreate);
        file.WriteLine("first line");
        file.Write("a");
        file.Write("b");
        file.WriteLine("");
        EXPECT_EQ(file.LineNumber(), 4);
        EXPECT_TRUE(file.EndOfStream());
    }
    EXPECT_EQ(ReadFileText(path), "first line\r\nab\r\n");
    {
        TBufTextFile file(path, 16, tmAppend);
        file.WriteLine("x");
        file.Reset(); // drops only what this stream appended
        file.WriteLine("y");
    }
    EXPECT_EQ(ReadFileText(path), "first line\r\nab\r\ny\r\n");
    {
        TBufTextFile file(path, 16, tmWrite);
        file.WriteLine("short");
    }
    EXPECT_EQ(ReadFileText(path), "short\r\n"); // no tail of the longer old content
    {
        TBufTextFile file(path, 2, tmRead);
        EXPECT_EQ(file.ReadLine(), "short");
        file.Reset();
        EXPECT_EQ(file.LineNumber(), 0);
        EXPECT_EQ(file.ReadAllText(), "short\r\n");
    }
}

TEST(BufTextFileTest, IllegalOperations) {
    const std::string path = TempFile("a\r\n");
    const std::string illegal = "Illegal buffered text file operation";
    EXPECT_EQ(test::ErrorOf([&] { TBufTextFile f(path, 16, tmReadWrite); }), illegal);
    EXPECT_EQ(test::ErrorOf([&] { TBufTextFile f(path, 0, tmRead); }), illegal);
    EXPECT_EQ(test::ErrorOf([&] { TBufTextFile(path, 16, tmRead).WriteLine("x"); }), illegal);
    EXPECT_EQ(test::ErrorOf([&] { TBufTextFile(path, 16, tmRead).Write("x"); }), illegal);
    EXPECT_EQ(test::ErrorOf([&] { TBufTextFile(path, 16, tmAppend).ReadLine(); }), illegal);
    EXPECT_EQ(test::ErrorOf([&] {
                  TBufTextFile f(path, 16, tmRead);
                  f.ReadLine();
                  f.ReadLine();
              }),
              illegal);
    EXPECT_THROW(TBufTextFile(path + ".missing", 16, tmRead), EInOutError);
    EXPECT_THROW(TBufTextFile(path + ".missing", 16, tmWrite), EInOutError);
}

TEST(BufTextFileTest, SharingFollowsTheMode) {
    const std::string path = TempFile("a\r\n");
    {
        TBufTextFile reader(path, 16, tmRead);
        TBufTextFile second(path, 16, tmRead);
        EXPECT_THROW(TBufTextFile(path, 16, tmCreate), EInOutError);
        EXPECT_EQ(ReadFileText(path), "a\r\n"); // the refused writer emptied nothing
    }
    {
        TBufTextFile writer(path, 16, tmAppend);
        EXPECT_THROW(TBufTextFile(path, 16, tmRead), EInOutError);
        EXPECT_THROW(TBufTextFile(path, 16, tmAppend), EInOutError);
    }
    TBufTextFile again(path, 16, tmRead);
    EXPECT_EQ(again.ReadLine(), "a");
}

TEST(BufTextFileTest, WindowsPathsGoThroughThePathLayer) {
    ASSERT_TRUE(ForceDirectories("C:\\Temp"));
    {
        TBufTextFile file("C:\\Temp\\Out.txt", 8, tmCreate);
        file.WriteLine("x");
    }
    EXPECT_EQ(ReadFileText(test::TempPrefix() + "/drive_c/Temp/Out.txt"), "x\r\n");
}

} // namespace
} // namespace kolva
