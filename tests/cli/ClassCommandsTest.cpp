// The type commands and conversions as a user runs them: what each writes (the lines its diff
// takes out and adds, with the messages), and that a refused command leaves the file as it
// was, byte for byte.
#include "platform/Files.h"
#include "support/RunKolva.h"
#include "support/TempPrefix.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

const char* const Counter =
    "unit Counter;\r\ninterface\r\nuses\r\n  Classes;\r\ntype\r\n"
    "  TCounter = class(TInterfacedObject, IInterface)\r\n  private\r\n    FValue: Integer;\r\n"
    "    function GetValue: Integer;\r\n    procedure Reset;\r\n  public\r\n"
    "    property Value: Integer read GetValue;\r\n  end;\r\n\r\n"
    "  TBigCounter = class(TCounter)\r\n  end;\r\n\r\nprocedure Helper(Step: Integer);\r\n\r\n"
    "implementation\r\n\r\nprocedure Helper(Step: Integer);\r\nbegin\r\n  WriteLn(Step);\r\n"
    "end;\r\n\r\nfunction TCounter.GetValue: Integer;\r\nbegin\r\n  Result := FValue;\r\n"
    "end;\r\n\r\nprocedure TCounter.Reset;\r\nbegin\r\nend;\r\n\r\nend.\r\n";

TEST(ClassCommands, TypesAndConversions) {
    const std::string renamed =
        "-  TCounter = class(TInterfacedObject, IInterface)\n"
        "+  TTicker = class(TInterfacedObject, IInterface)\n"
        "-  TBigCounter = class(TCounter)\n+  TBigCounter = class(TTicker)\n"
        "-function TCounter.GetValue: Integer;\n"
        "+function TTicker.GetValue: Integer;\n"
        "-procedure TCounter.Reset;\n+procedure TTicker.Reset;\n";
    const struct {
        const char* Args;
        int Status;
        std::string Output; // the lines the diff adds and takes out, and the messages
    } cases[] = {
        {"add-class F class --ancestor TCounter", 0,
         "kolva: no --decl given; adding the default \"TDefault = class(TCounter, IInterface)\"\n"
         "+  TDefault = class(TCounter, IInterface)\n+  end;\n+\n"},
        {"edit F TCounter --decl 'TTicker = class(TInterfacedObject, IInterface)'", 0, renamed},
        {"edit F TBigCounter --part implementation", 0,
         "-  TBigCounter = class(TCounter)\n-  end;\n-\n"
         "+type\n+  TBigCounter = class(TCounter)\n+  end;\n+\n"},
        {"convert F Helper method --class TCounter", 0,
         "+    procedure Helper(Step: Integer);\n-procedure Helper(Step: Integer);\n-\n"
         "-procedure Helper(Step: Integer);\n-begin\n-  WriteLn(Step);\n-end;\n-\n"
         "+procedure TCounter.Helper(Step: Integer);\n+begin\n+  WriteLn(Step);\n+end;\n+\n"},
        {"edit F TCounter --decl 'TCounter = interface'", 1,
         "kolva: --decl: \"TCounter = interface\" declares the interface TCounter, not a class\n"},
        {"convert F Helper method", 2,
         "kolva: --class: name the class that takes the procedure\n"
         "Run 'kolva help convert' for its options.\n"},
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
