// Naming items and declarations on the command line: every item reachable by a path, an
// ambiguous path refused with its candidates, and only single, well-formed declarations and
// interface names written into the unit.
#include "platform/Files.h"
#include "support/RunKolva.h"
#include "support/TempPrefix.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

const char* const Unit = "unit U;\n"
                         "interface\n"
                         "type\n"
                         "  IA = interface\n"
                         "    procedure M;\n"
                         "  end;\n"
                         "  TC = class(TInterfacedObject, IA)\n"
                         "    procedure IA.M = DoM;\n"
                         "    procedure DoM;\n"
                         "    constructor Create;\n"
                         "  end;\n"
                         "  TD = class\n"
                         "    constructor Create;\n"
                         "  end;\n"
                         "function F(A: Integer): string; overload;\n"
                         "function F(A, B: Integer): string; overload;\n"
                         "implementation\n"
                         "procedure TC.DoM; begin end;\n"
                         "constructor TC.Create; begin end;\n"
                         "constructor TD.Create; begin end;\n"
                         "function F(A: Integer): string; begin Result := F(A, 0); end;\n"
                         "function F(A, B: Integer): string;\n"
                         "  function Two(X: Integer): string; begin end;\n"
                         "begin Result := Two(A); end;\n"
                         "end.\n";

using test::TCase;

class Items : public testing::TestWithParam<TCase> {};

TEST_P(Items, RunOnTheUnit) {
    const TCase& c = GetParam();
    const std::string file = test::RunCase(c, "U.pas", Unit);
    if (c.Status != 0) {
        EXPECT_EQ(ReadFileText(file), Unit);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, Items,
    testing::Values(
        TCase{"delete F Create --yes", 1,
              "U.pas; choose one with --line:\n  --line 18     constructor TC.Create\n "
              " --line 19     constructor TD.Create"},
        TCase{"delete F Create --line 19 --diff", 0, "Delete constructor TD.Create?"},
        TCase{"delete F TD.Create --diff --yes", 0, "-    constructor Create;\n   end;\n"},
        TCase{"delete F F.Two --yes --diff", 0, "-  function Two(X: Integer)"},
        TCase{"delete F F --line 21 --diff", 0, "Delete function F?"},
        TCase{"delete F F --yes", 1, "--line 14     function F(A: Integer): string"},
        TCase{"delete F F.Two --line 14 --yes", 1, "No item \"F.Two\" at line 14"},
        TCase{"delete F TC.IA.M --yes --diff", 0, "-    procedure IA.M = DoM;"},
        TCase{"delete F IA.M --yes --diff", 0, "-    procedure M;"},
        TCase{"move F TC.DoM F", 1, "choose one with --target-line:\n  --target-line 14 "},
        TCase{"move F TC.DoM F --target-line=21 --diff", 0,
              "+procedure TC.DoM; begin end;\n end."}));

INSTANTIATE_TEST_SUITE_P(
    Declarations, Items,
    testing::Values(TCase{"add-interface F TC 'Bad Name'", 1,
                          "\"Bad Name\" is not an interface name"},
                    TCase{"add-interface F TD 'IA) procedure X;'", 1, "is not an interface name"},
                    TCase{"add-interface F TD System.IUnknown --diff", 0,
                          "+  TD = class(TObject, System.IUnknown)"},
                    TCase{"add-procedure F --decl 'procedure A; procedure B;'", 1,
                          "--decl holds more than one declaration (\"procedure\" at col 14)"},
                    TCase{"add-procedure F --decl 'procedure A; begin end;'", 1,
                          "(\"begin\" at col 14): give the declaration alone"},
                    TCase{"add-field F TD --decl 'FA: Integer; FB: string;'", 1,
                          "more than one declaration (\"FB\" at col 14)"},
                    TCase{"add-method F TD --decl 'procedure X;\n  procedure Y(A: Integer;'", 1,
                          "(\"procedure\" at line 2 col 3)"},
                    TCase{"add-method F TD --decl 'procedure X(A: Integer;\n  B: Integer): ;'", 1,
                          "--decl: Unexpected token \":\" at line 2 col 14"},
                    TCase{"add-method F TD --diff", 0,
                          "kolva: no --decl given; adding the default \"procedure NewMethod;\""}));

} // namespace
} // namespace kolva
