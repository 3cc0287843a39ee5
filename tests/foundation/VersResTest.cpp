#include "foundation/VersRes.h"

#include "platform/Paths.h"
#include "platform/SysUtils.h"
#include "support/Raised.h"
#include "support/TempPrefix.h"

#include <array>
#include <cstdio>
#include <memory>

#include <gtest/gtest.h>

namespace kolva {
namespace {

using test::TempPrefix;

// V in Width bytes, little-endian.
std::string LE(uint64_t V, size_t Width) {
    std::string bytes;
    for (size_t i = 0; i < Width; ++i)
        bytes += char(V >> (8 * i));
    return bytes;
}

// A version block in the layout cmake/VersionBlock.cmake writes.
std::string Block(uint16_t Major, uint16_t Minor, uint16_t Release, uint16_t Build,
                  const std::string& Strings) {
    const uint32_t ms = uint32_t(Major) << 16 | Minor, ls = uint32_t(Release) << 16 | Build;
    const uint32_t fixed[] = {0xFEEF04BD, 0x10000, ms, ls, 0,          0, 0x3F,
                              0x21,       0x40004, 1,  0,  0x01D00000, 0};
    std::string body;
    for (uint32_t v : fixed)
        body += LE(v, 4);
    body += LE(0x0409, 2) + LE(0x04E4, 2) + Strings + '\0';
    return "KOLVAVER" + LE(12 + body.size(), 4) + body;
}

// The smallest ELF64 file with the named section holding Data: header, Data, the section
// names, and the headers of the null section, the names and Data.
std::string ElfWithSection(const std::string& Name, const std::string& Data) {
    const std::string names = std::string("\0.shstrtab\0", 11) + Name + '\0';
    const size_t namesAt = 64 + Data.size();
    const auto section = [](uint32_t NameAt, uint64_t At, uint64_t Size) {
        return LE(NameAt, 4) + std::string(20, '\0') + LE(At, 8) + LE(Size, 8) +
               std::string(24, '\0');
    };
    return std::string("\177ELF\2\1", 6) + std::string(34, '\0') + LE(namesAt + names.size(), 8) +
           std::string(10, '\0') + LE(64, 2) + LE(3, 2) + LE(1, 2) + Data + names +
           std::string(64, '\0') + section(1, namesAt, names.size()) + section(11, 64, Data.size());
}

std::string WriteTemp(const std::string& name, const std::string& content) {
    const std::string path = TempPrefix() + "/" + name;
    test::WriteNative(path, content);
    return path;
}

TEST(VersionRes, ReadsTheBlockOfAnyFile) {
    const std::string strings = std::string("FileDescription\0Kolva tests\0Empty\0\0", 36);
    const std::string file =
        WriteTemp("v.so", ElfWithSection(".kolva_version", Block(5, 0, 0, 7, strings)));
    TVersionRes res;
    res.SetFileName(file);
    EXPECT_EQ(res.VersionText(), "Version 5.00 build 7");
    EXPECT_EQ(res.FileDescription(), "Kolva tests");
    EXPECT_EQ(res.StringValue("filedescription"), "Kolva tests");
    EXPECT_EQ(res.StringValue("Empty"), "");
    EXPECT_EQ(res.StringValue("Missing"), "");
    EXPECT_EQ(res.LanguageID, 0x0409);
    EXPECT_EQ(res.FileFlags, 0x21u & 0x3F);
    EXPECT_EQ(res.FileOS, 0x40004u);

    res.SetFileName(WriteTemp("w.so", ElfWithSection(".kolva_version", Block(1, 2, 3, 45, ""))));
    EXPECT_EQ(res.VersionText(), "Version 1.23 build 45");
}

TEST(VersionRes, FilesWithoutABlockSayNoVersionInfo) {
    const std::string block = Block(1, 0, 0, 1, "");
    std::string truncated = block.substr(0, 40);
    for (const std::string& file :
         {TempPrefix() + "/does-not-exist", WriteTemp("plain.txt", "not an ELF file"),
          WriteTemp("other.so", ElfWithSection(".data", block)),
          WriteTemp("short.so", ElfWithSection(".kolva_version", truncated))}) {
        TVersionRes res;
        EXPECT_EQ(test::ErrorOf([&] { res.SetFileName(file); }), "No version info available")
            << file;
    }
}

TEST(VersionRes, DeliverablesCarryTheirBuildVersion) {
    // The running test program carries a block written by the build.
    EXPECT_EQ(VersionRes().FileDescription(), "Kolva tests");
    EXPECT_EQ(VersionRes().VersionText().rfind("Version ", 0), 0u);
    EXPECT_GT(VersionRes().FileDate, 40000.0) << "a date after 2009";

    // `kolva --version` prints the version read back from its own block, as tools do.
    TVersionRes kolva;
    kolva.SetFileName(KOLVA_EXE);
    std::unique_ptr<FILE, int (*)(FILE*)> out(popen(KOLVA_EXE " --version", "r"), pclose);
    ASSERT_TRUE(out);
    std::array<char, 256> line{};
    ASSERT_TRUE(fgets(line.data(), line.size(), out.get()));
    EXPECT_EQ(std::string(line.data()), "kolva " + kolva.VersionText().substr(8) + "\n");
    EXPECT_EQ(kolva.FileDescription(), "Kolva command line");
}

TEST(VersionRes, FileTimesBecomeDates) {
    EXPECT_DOUBLE_EQ(FileTimeToDateTime(0), -109205.0);
    // 2000-01-01 00:00 UTC is day 36526 of the date type.
    EXPECT_DOUBLE_EQ(FileTimeToDateTime(125911584000000000ull), 36526.0);
}

} // namespace
} // namespace kolva
