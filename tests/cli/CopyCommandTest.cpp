// `kolva copy` and `cut`: the buffer goes to standard output (the unit stays as it was, or
// loses the items); `paste`, `copy-to` and `move-to` write into a class or the unit.
#include "platform/Files.h"
#include "support/RunKolva.h"
#include "support/TempPrefix.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

TEST(CopyCommand, WritesTheBufferOfAProcedureWithItsDeclaration) {
    const std::string unit = "unit U;\n\ninterface\n\nprocedure A;\n\nimplementation\n\n"
                             "type\n  TPart = class\n  end;\n\n"
                             "procedure A;\nbegin\nend;\n\nend.\n";
    const std::string path = test::TempPrefix() + "/U.pas";
    test::WriteNative(path, unit);
    const std::string before = ReadFileText(path);
    const test::TRun run = test::RunKolva("copy " + path + " A --line 12");
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Output, "//FWWIN:MODULECOPY\nunit _FW_Copy_Buffer_;\n\ninterface\n\n"
                          "procedure A;\n\n\nimplementation\n\n"
                          "procedure A;\nbegin\nend;\n\n\nend.\n");
    EXPECT_EQ(ReadFileText(path), before);
}

const char* const Source = "unit A;\n\ninterface\n\ntype\n  TSource = class(TObject)\n"
                           "  private\n    FCount: Integer;\n  public\n"
                           "    function Total: Integer;\n"
                           "    property Count: Integer read FCount write FCount;\n  end;\n\n"
                           "implementation\n\nfunction TSource.Total: Integer;\nbegin\n"
                           "  Result := FCount * 2;\nend;\n\nend.\n";
const char* const Target = "unit B;\n\ninterface\n\ntype\n  TTarget = class(TObject)\n  end;\n\n"
                           "implementation\n\nend.\n";

// A buffer cut from one unit pastes into another through a pipe.
TEST(CopyCommand, CutMembersPasteIntoAnotherUnit) {
    const std::string a = test::TempPrefix() + "/A.pas", b = test::TempPrefix() + "/B.pas";
    test::WriteNative(a, Source);
    test::WriteNative(b, Target);
    const test::TRun run = test::RunKolva(
        "cut " + a + " TSource.Count TSource.Total | " KOLVA_EXE " paste " + b + " TTarget");
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(ReadFileText(a), "unit A;\n\ninterface\n\ntype\n  TSource = class(TObject)\n"
                               "  private\n  public\n  end;\n\nimplementation\n\nend.\n");
    EXPECT_EQ(ReadFileText(b), "unit B;\n\ninterface\n\ntype\n  TTarget = class(TObject)\n"
                               "  private\n    FCount: Integer;\n  public\n"
                               "    function Total: Integer;\n"
                               "    property Count: Integer read FCount write FCount;\n  end;\n\n"
                               "implementation\n\nfunction TTarget.Total: Integer;\nbegin\n"
                               "  Result := FCount * 2;\nend;\n\nend.\n");
}

const test::TCase Cases[] = {
    {"cut F TSource", 0, "//FWWIN:CLASSCOPY\nunit _FW_Copy_Buffer_;"},
    {"move-to F TSource.Total --to .", 0, ""},
    {"copy-to F TSource.Total", 2, "missing --to CLASS"},
    {"paste F TSource /dev/null --yes", 1, "No members found to insert"},
    {"paste F TSource /dev/null", 3, "Copy buffer signature not found. Continue?"},
    {"paste F TSource.Total /nonexistent", 1, "nonexistent"},
};

class CopyCommands : public testing::TestWithParam<test::TCase> {};

TEST_P(CopyCommands, RunOnTheSourceUnit) {
    RunCase(GetParam(), "A.pas", Source);
}

INSTANTIATE_TEST_SUITE_P(Rows, CopyCommands, testing::ValuesIn(Cases));

} // namespace
} // namespace kolva
