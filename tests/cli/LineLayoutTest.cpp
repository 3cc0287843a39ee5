// A unit written back keeps its line breaks: each kept line its own, a changed line the one
// it replaces, new lines their neighbours' or else the file's first.
#include "cli/LineLayout.h"

#include <gtest/gtest.h>

namespace kolva::cli {
namespace {

TEST(LineLayout, WritingKeepsTheFileBreaks) {
    const struct {
        const char* Before;
        std::vector<std::string> Lines;
        const char* After;
    } cases[] = {
        {"a\r\nb\r\n", {"a", "x", "b"}, "a\r\nx\r\nb\r\n"},
        {"a\nb\n", {"a", "x", "b"}, "a\nx\nb\n"},
        {"a\rb\r", {"x", "b", "y"}, "x\rb\ry\r"},
        {"a\r\nb\nc\r\n", {"a", "B", "c", "d"}, "a\r\nB\nc\r\nd\r\n"},
        {"a\nb\r\nc", {"a", "x", "y", "c"}, "a\nx\r\ny\nc"},
        {"\xEF\xBB\xBF"
         "a\r\n",
         {"x", "y"},
         "\xEF\xBB\xBF"
         "x\r\ny\r\n"},
        {"", {"x", "y"}, "x\ny\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(JoinLines(SplitLines(c.Before)), c.Before);
        EXPECT_EQ(JoinLines(Relayout(SplitLines(c.Before), c.Lines)), c.After) << c.Before;
    }
}

} // namespace
} // namespace kolva::cli
