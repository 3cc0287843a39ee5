#include "support/RunKolva.h"
#include "support/TempPrefix.h"

#include <string>

#include <gtest/gtest.h>

namespace kolva {
namespace {

// Standard error joins the output: what the user sees on the terminal.
test::TRun RunKolva(const std::string& Args) {
    return test::RunKolva(Args + " 2>&1");
}

TEST(TokensCommandTest, ListsTokensWithPositions) {
    // Mixed line ends; a comment over three lines (one blank); a malformed string.
    const std::string path = test::TempPrefix() + "/Unit1.pas";
    test::WriteNative(path, "unit Unit1;\r\n{ one\n\n  two }\rx:='It''s'#13; {$R+}\n  y 'open\n");
    const test::TRun run = RunKolva("tokens " + path);
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Output, "1:1 tkWord unit\n"
                          "1:6 tkWord Unit1\n"
                          "1:11 tkSymbol ;\n"
                          "2:1 tkComment { one\\r\\n  two }\n"
                          "5:1 tkWord x\n"
                          "5:2 tkSymbol :=\n"
                          "5:4 tkString 'It''s'#13\n"
                          "5:14 tkSymbol ;\n"
                          "5:16 tkDirective {$R+}\n"
                          "6:3 tkWord y\n"
                          "6:5 tkError\n");
}

TEST(TokensCommandTest, Failures) {
    EXPECT_EQ(RunKolva("tokens").Status, 2);
    const test::TRun missing = RunKolva("tokens " + test::TempPrefix() + "/none.pas");
    EXPECT_EQ(missing.Status, 1);
    EXPECT_NE(missing.Output.find("none.pas"), std::string::npos);
}

} // namespace
} // namespace kolva
