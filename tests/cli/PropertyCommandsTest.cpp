// The property commands as a user runs them: the declaration decides what is generated,
// --state-field ticks the dialog's box, the conversions' questions follow --yes, and a refused
// operation leaves the file as it was, byte for byte.
#include "platform/Files.h"
#include "support/RunKolva.h"
#include "support/TempPrefix.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

const char* const Counter =
    "unit Counter;\r\ninterface\r\ntype\r\n  TCounter = class\r\n"
    "  private\r\n    FValue: Integer;\r\n    function GetValue: Integer;\r\n"
    "    procedure Reset;\r\n  public\r\n"
    "    property Value: Integer read GetValue;\r\n  end;\r\n"
    "implementation\r\nfunction TCounter.GetValue: Integer;\r\nbegin\r\n"
    "  Result := FValue;\r\nend;\r\n\r\nprocedure TCounter.Reset;\r\n"
    "begin\r\nend;\r\n\r\nend.\r\n";

TEST(PropertyCommands, DeclarationsOptionsAndQuestions) {
    const struct {
        const char* Args;
        int Status;
        const char* Output; // the lines the diff adds and takes out, and the messages
    } cases[] = {
        {"add-property F TCounter --decl 'property Limit: string read GetLimit write FLimit;'", 0,
         "+    FLimit: string;\n+    function GetLimit: string;\n"
         "+    property Limit: string read GetLimit write FLimit;\n"
         "+function TCounter.GetLimit: string;\n+begin\n+  \n+end;\n+\n"},
        {"add-property F TCounter --state-field --decl 'property Step: Integer read GetStep "
         "write SetStep;'",
         0,
         "+    FStep: Integer;\n+    function GetStep: Integer;\n"
         "+    procedure SetStep(Value: Integer);\n"
         "+    property Step: Integer read GetStep write SetStep;\n"
         "+function TCounter.GetStep: Integer;\n+begin\n+  \n+end;\n+\n"
         "+procedure TCounter.SetStep(Value: Integer);\n+begin\n+  \n+end;\n+\n"},
        {"convert F TCounter.Value method", 0,
         "Delete property's write access method/ and or state field?\n"
         "(answered Yes for the --diff preview)\n-    FValue: Integer;\n"
         "-    function GetValue: Integer;\n-    property Value: Integer read GetValue;\n"
         "+    function Value: Integer;\n-function TCounter.GetValue: Integer;\n"
         "+function TCounter.Value: Integer;\n"},
        {"convert F TCounter.Value field --yes", 0,
         "Delete property's read/write access methods?\n-    FValue: Integer;\n"
         "-    function GetValue: Integer;\n+    Value: Integer;\n"
         "-    property Value: Integer read GetValue;\n-function TCounter.GetValue: Integer;\n"
         "-begin\n-  Result := FValue;\n-end;\n-\n"},
        {"convert F TCounter.Reset property", 1,
         "kolva: Only function type methods can be converted to properties\n"},
        {"add-property F TCounter --decl 'property Value: Integer read FValue;'", 1,
         "kolva: \"Value\" already exists\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Args);
        const std::string file = test::TempPrefix() + "/Counter.pas";
        test::WriteNative(file, Counter);
        std::string args = c.Args;
        args.replace(args.find(" F ") + 1, 1, file);
        const test::TRun run = test::RunKolva(args + " --diff 2>&1 | grep -v '^[-+][-+]' | "
                                                     "grep '^[-+(A-Z\"]\\|^kolva:' | tr -d '\\r'");
        EXPECT_EQ(run.Output, c.Output);
        const test::TRun status = test::RunKolva(args + " >/dev/null 2>&1");
        EXPECT_EQ(status.Status, c.Status);
        if (c.Status != 0) {
            EXPECT_EQ(ReadFileText(file), Counter);
        }
    }
}

} // namespace
} // namespace kolva
