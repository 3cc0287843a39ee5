#include "foundation/FWStrUtils.h"

#include "foundation/FileUtil.h"
#include "foundation/NumUtils.h"
#include "platform/Paths.h"
#include "platform/StringList.h"
#include "support/TempPrefix.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

TEST(NumUtils, EnsureRangeLetsLoWinWhenTheRangeIsEmpty) {
    EXPECT_EQ(EnsureRange(5, 10, 3), 10);
    EXPECT_EQ(EnsureRange(5, 0, 3), 3);
    EXPECT_EQ(EnsureRange(-1, 0, 3), 0);
    EXPECT_TRUE(InRange(3, 3, 3));
    EXPECT_FALSE(InRange(4, 5, 3));
}

TEST(FWStrUtils, SplitTrailingNumber) {
    struct Case {
        const char* S;
        const char* Base;
        int Number;
        bool Result;
    };
    for (const Case& c :
         {Case{"Button12", "Button", 12, true}, Case{"123", "", 123, true},
          Case{"Edit", "Edit", -1, false}, Case{"", "", -1, false}, Case{"A1B", "A1B", -1, false},
          Case{"X99999999999999", "X", INT32_MAX, true}}) {
        SCOPED_TRACE(c.S);
        std::string base;
        int number = 0;
        EXPECT_EQ(SplitTrailingNumber(c.S, base, number), c.Result);
        EXPECT_EQ(base, c.Base);
        EXPECT_EQ(number, c.Number);
    }
}

TEST(FWStrUtils, TextHelpers) {
    EXPECT_TRUE(StartsText("", "abc"));
    EXPECT_TRUE(StartsText("AB", "abc"));
    EXPECT_FALSE(StartsText("abcd", "abc"));
    EXPECT_EQ(StripWhiteSpace(" a\tb\r\n c "), "abc");
    EXPECT_EQ(Spaces(-2), "");
    EXPECT_EQ(CountLeading("   ", ' '), 3);
    EXPECT_EQ(LeadingSpaces("  x "), 2);
    EXPECT_EQ(Capitalize("hELLO"), "Hello");
    EXPECT_EQ(PosFrom("ab", "xxabab", 1), 3);
    EXPECT_EQ(PosFrom("ab", "xxabab", 4), 5);
    EXPECT_EQ(PosFrom("ab", "xxabab", 6), 0) << "S shorter than Length(Sub) + Start - 1";
    EXPECT_EQ(CharAt("abc", 3, '?'), 'c');
    EXPECT_EQ(CharAt("abc", 0, '?'), '?');
    std::string name, value;
    EXPECT_TRUE(SplitNameValue("a=b=c", name, value));
    EXPECT_EQ(name + "|" + value, "a|b=c");
    EXPECT_FALSE(SplitNameValue("abc", name, value));
    EXPECT_EQ(name + value, "");
}

TEST(FWStrUtils, AddToHistoryKeepsOneEntryAtTheFront) {
    TStringList list{"a", "b", "c"};
    AddToHistory("C", list, 10);
    EXPECT_EQ(list.Text(), "C\r\na\r\nb\r\n");
    AddToHistory("c", list, 2);
    EXPECT_EQ(list.Text(), "C\r\na\r\n") << "already first: unchanged but trimmed";
    AddToHistory("", list, 0);
    EXPECT_EQ(list.Count(), 2);
    AddToHistory("d", list, 0);
    EXPECT_EQ(list.Text(), "d\r\n") << "a bound below 1 counts as 1";
}

TEST(FileUtil, FileHelpers) {
    EXPECT_EQ(FileNameWithoutExt("C:\\dir.x\\Unit1.pas"), "Unit1");
    EXPECT_EQ(FileNameWithoutExt("noext"), "noext");
    EXPECT_EQ(IncludeTrailingBackslash("C:\\a"), "C:\\a\\");
    EXPECT_EQ(IncludeTrailingBackslash(""), "");
    const std::string folder = ProgramFolder();
    EXPECT_EQ(folder.substr(0, 3), "Z:\\");
    EXPECT_EQ(folder.back(), '\\');

    std::string big(5000, 'x');
    big[1023] = '\0';
    test::WriteNative(test::TempPrefix() + "/drive_c/src.bin", big);
    EXPECT_TRUE(CopyFile("C:\\src.bin", "C:\\dest.bin"));
    EXPECT_EQ(ReadFileText("C:\\dest.bin"), big);
    EXPECT_TRUE(CopyFile("C:\\dest.bin", "c:\\DEST.BIN")) << "onto itself";
    EXPECT_EQ(ReadFileText("C:\\dest.bin"), big);
    EXPECT_FALSE(CopyFile("C:\\none.bin", "C:\\dest2.bin"));
    EXPECT_FALSE(FileExists("C:\\dest2.bin"));
}

} // namespace
} // namespace kolva
