// The engine's operations as a user runs them: on files, answered from options, written back
// whole or not at all, and the result still compiling.
#include "platform/Files.h"
#include "support/FormSample.h"
#include "support/FpcUnits.h"
#include "support/RunKolva.h"
#include "support/TempPrefix.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

using test::RunKolva;

std::string Copy(const std::string& Name, const std::string& Content) {
    const std::string path = test::TempPrefix() + "/" + Name;
    test::WriteNative(path, Content);
    return path;
}

std::string Sample() {
    return ReadFileText(std::string(KOLVA_SOURCE_DIR) + "/samples/Orders.pas");
}

// The compiler's first error, or "" when Path compiles.
std::string CompileError(const std::string& Path) {
    const std::vector<std::string> errors = test::CompileErrors({"", Path, "-Mdelphi"}, Path);
    return errors.empty() ? "" : errors.front();
}

// Beside the kinds the real-world check tries on every unit: directives, a forward declaration, a
// member moved to another section by its dialog, a resolution clause and an event handler.
TEST(EngineCommands, EveryOperationLeavesTheSampleCompiling) {
    const char* const operations[] = {
        "edit F FormatAmount --line 70 --decl 'function FormatAmount(Cents: Int64): string; "
        "overload;'",
        "add-procedure F --no-interface --decl 'procedure Later; forward;'",
        "add-resclause F TOrder --decl 'function IOrderSink.SinkName = OrderSinkName;' --yes",
        "edit F TOrder.Changed --decl 'procedure Changed; dynamic;' --visibility public",
        "rename F TMainForm.FormCreate FormShow",
        "rearrange F TOrder --sort kind",
        "rearrange F TOrder --order Total,Add@48,Create --impl-order Changed --reformat",
        "rearrange F . --order ResetNumbers --interface-only",
    };
    for (const char* operation : operations) {
        SCOPED_TRACE(operation);
        const std::string file = Copy("Orders.pas", Sample());
        std::string args = operation;
        args.replace(args.find(" F") + 1, 1, file);
        const test::TRun run = RunKolva(args + " 2>&1");
        EXPECT_EQ(run.Status, 0) << run.Output;
        EXPECT_TRUE(ReadFileText(file) != Sample()) << "the file was written";
        EXPECT_EQ(CompileError(file), "");
    }
}

TEST(EngineCommands, RefusedOrFailingOperationsLeaveTheFileAlone) {
    const std::string text = "unit U;\r\ninterface\r\nprocedure A;\r\nimplementation\r\n"
                             "procedure A;\r\nbegin\r\nend;\r\nend.\r\n";
    const std::string file = Copy("U.pas", text);
    struct TCase {
        const char* Args;
        int Status;
        const char* Message;
    };
    for (const TCase& c : {
             TCase{"delete F A", 3, "Delete procedure A?"},
             TCase{"delete F Missing --yes", 1, "kolva: No item \"Missing\""},
             TCase{"edit F A --decl 'procedure A(X: Integer'", 1, "ends before the declaration"},
             TCase{"add-field F A --decl 'FX: Integer;'", 1, "A is not a class"},
             TCase{"delete F A --yes --dif", 2,
                   "kolva: delete takes no option --dif; did you "
                   "mean \"--diff\"?\nusage: kolva delete FILE ITEM"},
         }) {
        SCOPED_TRACE(c.Args);
        std::string args = c.Args;
        args.replace(args.find(" F") + 1, 1, file);
        const test::TRun run = RunKolva(args + " 2>&1");
        EXPECT_EQ(run.Status, c.Status);
        EXPECT_NE(run.Output.find(c.Message), std::string::npos) << run.Output;
        EXPECT_EQ(ReadFileText(file), text);
    }
}

TEST(EngineCommands, TheFormFileAnswersForTheDesigner) {
    const std::string unit = Copy("MainUnit.pas", test::MainUnitPas);
    const std::string form = Copy("MainUnit.dfm", test::MainFormDfm);
    const std::string with = " --form " + form + " 2>&1";
    // Renamed by the designer: the component in the form and its field in the unit.
    EXPECT_EQ(RunKolva("rename " + unit + " TMainForm.NameEdit CustomerEdit" + with).Status, 0);
    EXPECT_NE(ReadFileText(form).find("object CustomerEdit: TEdit"), std::string::npos);
    EXPECT_NE(ReadFileText(form).find("ActiveControl = CustomerEdit"), std::string::npos);
    EXPECT_NE(ReadFileText(unit).find("    CustomerEdit: TEdit;"), std::string::npos);
    // The restrictions protect event handlers unless the user lifts them.
    const test::TRun blocked = RunKolva("delete " + unit + " TMainForm.OkButtonClick --yes" + with);
    EXPECT_EQ(blocked.Status, 1);
    EXPECT_NE(blocked.Output.find("Deleting Event Handlers is blocked"), std::string::npos);
    // The engine's line break (CR) reaches the terminal as one.
    const test::TRun component =
        RunKolva("edit " + unit + " TMainForm.TopPanel --decl 'TopPanel: TEdit;'" + with);
    EXPECT_EQ(component.Status, 1);
    EXPECT_NE(component.Output.find("kolva: Cannot edit Component TopPanel\nOnly renaming"),
              std::string::npos)
        << component.Output;
    const std::string before = ReadFileText(unit);
    EXPECT_EQ(RunKolva("visibility " + unit + " TMainForm.Images private" + with).Status, 1)
        << "a component alone is removed from the selection, which ends the operation";
    EXPECT_EQ(ReadFileText(unit), before);
    EXPECT_EQ(CompileError(unit), "");
}

} // namespace
} // namespace kolva
