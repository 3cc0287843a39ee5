// The habits of command-line tools, tried through the real program: help for every command,
// the version, suggestions for mistyped names, --opt=value and --, distinct exit statuses,
// standard input and output instead of files.
#include "platform/Files.h"
#include "support/RunKolva.h"
#include "support/TempPrefix.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

const char* const Unit = "unit U;\ninterface\nprocedure A;\nprocedure A2;\nimplementation\n"
                         "procedure A;\nbegin\nend;\nprocedure A2;\nbegin\nend;\nend.\n";

using test::TCase;

class Conventions : public testing::TestWithParam<TCase> {};

TEST_P(Conventions, RunOnTheUnit) {
    const TCase& c = GetParam();
    const std::string file = test::RunCase(c, "U.pas", Unit);
    EXPECT_EQ(ReadFileText(file), Unit) << "no command of the table writes the file";
}

INSTANTIATE_TEST_SUITE_P(
    Help, Conventions,
    testing::Values(
        TCase{"help delete", 0,
              "usage: kolva delete FILE ITEM [options]\n\nDeletes an item with its declaration"},
        TCase{"delete --help", 0, "  --yes                 answer OK (or Yes) to every question\n"},
        TCase{"help edit", 0, "\nenvironment:\n  KOLVA_PREFIX"},
        TCase{"help outline", 0, "  3  a question was declined (give --yes); nothing written\n"},
        TCase{"--help", 0, "  add-resclause   Adds a method resolution clause"},
        TCase{"-V", 0, "kolva 1.00 build "}, TCase{"", 2, "usage: kolva COMMAND"}));

INSTANTIATE_TEST_SUITE_P(
    Mistakes, Conventions,
    testing::Values(
        TCase{"dlete F A", 2, "kolva: unknown command \"dlete\"; did you mean \"delete\"?\n"},
        TCase{"help renam", 2, "no command \"renam\"; did you mean \"rename\"?"},
        TCase{"delete F A --dif", 2,
              "kolva: delete takes no option --dif; did you mean \"--diff\"?\n"
              "usage: kolva delete FILE ITEM [options]\nRun 'kolva help delete' for its options."},
        TCase{"delete F A --yes=no", 2, "kolva: --yes takes no value"},
        TCase{"delete F A --line", 2, "kolva: --line needs a value (--line N)"},
        TCase{"delete F A --line=x", 2, "kolva: --line: "},
        TCase{"delete F", 2, "kolva: missing arguments"},
        TCase{"delete F A B", 2, "kolva: too many arguments: \"B\""},
        TCase{"delete F A22 --yes", 1, "kolva: No item \"A22\" in "},
        TCase{"delete F A22 --yes", 1, "U.pas; did you mean \"A2\"?"},
        TCase{"settings get WrapMargn", 1, "did you mean \"WrapMargin\"?"}));

INSTANTIATE_TEST_SUITE_P(
    Statuses, Conventions,
    testing::Values(
        TCase{"delete F A", 3, "Delete procedure A?\n(answered Cancel; --yes answers OK)\n"},
        TCase{"delete F A --diff", 0, "(answered OK for the --diff preview)\ndiff --git"},
        TCase{"rename F --line=2 A B --diff", 0, "+procedure B;"},
        TCase{"rename F -- A -B", 1, "kolva: \"-B\" is not a valid identifier"},
        TCase{"rename F A B --stdout", 0, "interface\nprocedure B;\nprocedure A2;\n"},
        TCase{"rename - A B < F", 0, "procedure B;\nbegin\n"},
        TCase{"rename - A B --diff --assume-filename=X.pas < F", 0, "--- a/X.pas\n+++ b/X.pas"},
        TCase{"outline - < F", 0, "ckProcedure A2 scPublic lines 3-3"},
        TCase{"rename - Z B --assume-filename X.pas < F", 1, "kolva: No item \"Z\" in X.pas"}));

} // namespace
} // namespace kolva
