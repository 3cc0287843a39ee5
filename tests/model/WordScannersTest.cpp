#include "model/WordScanners.h"

#include "platform/SysUtils.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

std::string Scanned(TWordScanner& Scanner, std::string_view Text) {
    const int count = Scanner.Scan(Text);
    std::string out;
    for (int i = 0; i < count; ++i)
        out += "[" + std::string(Scanner.Words(i)) + "]";
    return out;
}

TEST(WordScannerTest, Scans) {
    const struct {
        const char* Delimiters; // nullptr: the default blanks
        const char* Text;
        const char* Expected;
    } cases[] = {
        {nullptr, "  one two\tthree ", "[one][two][three]"},
        {nullptr, "", ""},
        {nullptr, "a \"b c\" d", "[a][b c][d]"},
        {nullptr, "\"\" a \"\"", "[a]"},
        {nullptr, "\"open to the end", "[open to the end]"},
        {nullptr, "a\"b\" c", "[a\"b\"][c]"},
        {nullptr, "\"x\"y", "[x][y]"},
        {",", "A, B,,C ", "[A][ B][C ]"},
        {",", "\"a,b\",c", "[a,b][c]"},
    };
    for (const auto& c : cases) {
        TWordScanner scanner;
        if (c.Delimiters) scanner.SetDelimiters(c.Delimiters);
        EXPECT_EQ(Scanned(scanner, c.Text), c.Expected) << c.Text;
    }
}

TEST(WordScannerTest, PositionsQuoteAndBounds) {
    TWordScanner scanner(";");
    scanner.SetQuoteChar('\'');
    ASSERT_EQ(scanner.Scan("ab;'c;d';e"), 3);
    EXPECT_EQ(scanner.WordStart(1), 4);
    EXPECT_EQ(scanner.WordLength(1), 3);
    EXPECT_EQ(scanner.Words(2), "e");
    EXPECT_THROW(scanner.Words(3), EListError);
    EXPECT_THROW(scanner.WordStart(-1), EListError);
}

} // namespace
} // namespace kolva
