#include "platform/SysUtils.h"

#include "support/Raised.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

TEST(Format, FollowsTheComponentLibrary) {
    EXPECT_EQ(Format("%s has %d items", "List", 3), "List has 3 items");
    EXPECT_EQ(Format("%x|%.4x|%.2d|%5d|%-5d|", 255, 255, 7, 42, 42), "FF|00FF|07|   42|42   |");
    EXPECT_EQ(Format("%.3s|%-4s|%4s", "abcdef", "ab", "ab"), "abc|ab  |  ab");
    EXPECT_EQ(Format("%*d|%.*s", 4, 7, 2, "xyz"), "   7|xy");
    EXPECT_EQ(Format("%1:s %0:s %s", "a", "b"), "b a b");
    EXPECT_EQ(Format("100%% of %d", -5), "100% of -5");
    EXPECT_EQ(Format("%.2f|%f|%n", 3.14159, 2.0, 1234567.891), "3.14|2.00|1,234,567.89");
    EXPECT_EQ(Format("%e", 1500.0), "1.50000000000000E+003");
    EXPECT_EQ(Format("%g", 0.5), "0.5");
    EXPECT_EQ(Format("%d", int64_t(-9000000000)), "-9000000000");
}

TEST(Format, MismatchRaisesConversionError) {
    EXPECT_THROW(Format("%d", "text"), EConvertError);
    EXPECT_THROW(Format("%s", 5), EConvertError);
    EXPECT_THROW(Format("%d %d", 5), EConvertError);
    EXPECT_THROW(Format("%q", 5), EConvertError);
    EXPECT_THROW(Format("trailing %", 5), EConvertError);
    EXPECT_EQ(test::ErrorOf<EConvertError>([] { Format("%d", "x"); }),
              "Format '%d' invalid or incompatible with argument");
}

TEST(IntegerText, ConvertsAndRejects) {
    EXPECT_EQ(StrToInt(" 42 "), 42);
    EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(StrToInt("$FF"), 255);
    EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(StrToIntDef("12x", -7), -7);
    for (const char* bad : {"", "12x", "2147483648", "--1", "$", "1 2", "0x"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(StrToInt(bad), EConvertError);
    }
    EXPECT_EQ(test::ErrorOf<EConvertError>([] { StrToInt("12x"); }),
              "'12x' is not a valid integer value");
    EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
    EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
    EXPECT_EQ(IntToHex(255, 4), "00FF");
}

TEST(CaseHelpers, IgnoreAsciiCaseOnly) {
    EXPECT_TRUE(SameText("TObject", "tOBJECT"));
    EXPECT_FALSE(SameText("abc", "abcd"));
    EXPECT_LT(CompareText("apple", "Banana"), 0);
    EXPECT_GT(CompareText("b", "A"), 0);
    EXPECT_EQ(CompareText("ab", "AB"), 0);
    EXPECT_LT(CompareText("ab", "abc"), 0);
    // Bytes above 127 are not letters here: no locale may fold them.
    EXPECT_FALSE(SameText("\xE4", "\xC4"));
    EXPECT_EQ(UpperCase("aZ\xE4"), "AZ\xE4");
    EXPECT_EQ(Trim("\t a b \r\n"), "a b");
}

} // namespace
} // namespace kolva
