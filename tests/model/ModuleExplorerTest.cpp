#include "model/ModuleExplorer.h"

#include "platform/SysUtils.h"
#include "support/ModelCheck.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

using test::OutlineOf;

TEST(ModuleExplorer, ClassesMembersAndImplementations) {
    const std::string source = R"(unit U;
interface
type
  TFoo = class(TBar, IOne)
    A, B, C: Integer;
    FProc: procedure(Sender: TObject; X: Integer) of object;
  private
    class function Make: TFoo;
    procedure P(A: Integer); overload; virtual; abstract;
    procedure P(S: string); overload;
    function IOne.Run = DoRun;
  public
    property Items[I: Integer]: TFoo read Get write Put; default;
  end;
implementation
procedure TFoo.P(S: string);
begin
end;
procedure TFoo.P(A: Integer);
begin
end;
class function TFoo.Make: TFoo;
begin
end;
end.)";
    TModuleExplorer explorer;
    EXPECT_EQ(OutlineOf(source, &explorer), "ckClass TFoo scPublic 3-13\n"
                                            "  ckField A, B, C scDefault 4-4\n"
                                            "  ckField FProc scDefault 5-5\n"
                                            "  ckVisibility private scPrivate 6-6\n"
                                            "  ckMethod Make scPrivate 7-7 -> 21\n"
                                            "  ckMethod P scPrivate 8-8 -> 18\n"
                                            "  ckMethod P scPrivate 9-9 -> 15\n"
                                            "  ckResClause IOne.Run scPrivate 10-10\n"
                                            "  ckVisibility public scPublic 11-11\n"
                                            "  ckProperty Items scPublic 12-12\n"
                                            "ckMethodImpl TFoo.P scDefault 15-17 -> 9\n"
                                            "ckMethodImpl TFoo.P scDefault 18-20 -> 8\n"
                                            "ckMethodImpl TFoo.Make scDefault 21-23 -> 7\n");
    EXPECT_EQ(explorer.ErrorCount(), 0) << explorer.Errors().front();
    EXPECT_EQ(explorer.ModuleKind(), mkUnit);
    EXPECT_EQ(explorer.ImplementationLine(), 14);
    EXPECT_EQ(explorer.Module().EndLine, 24) << "\"end.\" closes the module";

    auto* cls = static_cast<TClassItem*>(explorer.Item(0));
    EXPECT_EQ(cls->GetDeclaration(), "TFoo = class(TBar, IOne)");
    EXPECT_EQ(cls->StartColumn, 2);
    auto* fields = static_cast<TFieldItem*>(cls->Child(0));
    EXPECT_EQ(fields->DataType(), dtInteger);
    EXPECT_EQ(cls->Child(1)->GetDeclaration(),
              "FProc: procedure(Sender: TObject; X: Integer) of object;");
    auto* make = static_cast<TMethodItem*>(cls->Child(3));
    EXPECT_TRUE(make->ClassMethod);
    EXPECT_EQ(make->StartColumn, 4) << "a class method starts at \"class\"";
    EXPECT_EQ(cls->Child(8)->GetDeclaration(),
              "property Items[I: Integer]: TFoo read Get write Put; default;");
    EXPECT_EQ(cls->Child(6)->GetDeclaration(), "function IOne.Run = DoRun;");
    auto* impl = static_cast<TProcItem*>(explorer.Item(1));
    EXPECT_EQ(impl->BodyStartLine, 16);
    EXPECT_TRUE(test::CheckModel(explorer, 25, true).empty());
}

TEST(ModuleExplorer, TypeDeclarationsThatCreateNoBody) {
    EXPECT_EQ(OutlineOf("unit U; interface type\n"
                        "TFwd = class;\n"
                        "TRef = class of TBar;\n"
                        "EShort = class(Exception);\n"
                        "procedure Free;\n"
                        "IFoo = interface(IUnknown) ['{00000000-0000-0000-0000-000000000001}']\n"
                        "  procedure X;\n"
                        "end;\n"
                        "implementation end."),
              "ckClass EShort scPublic 3-3\n"
              "ckProcedure Free scPublic 4-4\n"
              "ckInterface IFoo scPublic 5-7\n"
              "  ckMethod X scDefault 6-6\n");
    TModuleExplorer explorer;
    OutlineOf("type TBare = class procedure X; end;", &explorer);
    auto* bare = static_cast<TClassItem*>(explorer.Item(0));
    auto* x = static_cast<TMethodItem*>(bare->Child(0));
    EXPECT_FALSE(x->ClassMethod) << "the type's own keyword makes no class method";
    EXPECT_TRUE(bare->HasBody);
    OutlineOf("type E = class(Exception);", &explorer);
    auto* e = static_cast<TClassItem*>(explorer.Item(0));
    EXPECT_FALSE(e->HasBody);
    EXPECT_EQ(e->DeclEndLine, 0);
}

TEST(ModuleExplorer, ProceduresLocalForwardAndOverloaded) {
    const std::string source = "unit U;\n"
                               "interface\n"
                               "procedure P(A: Integer); overload;\n"
                               "procedure P(S: string); overload;\n"
                               "function Beep: Boolean; stdcall; external 'kernel32.dll';\n"
                               "implementation\n"
                               "procedure Later; forward;\n"
                               "procedure P(S: string);\n"
                               "  procedure Local;\n"
                               "  begin end;\n"
                               "begin end;\n"
                               "procedure P(A: Integer); begin end;\n"
                               "procedure Later; begin end;\n"
                               "end.\n";
    TModuleExplorer explorer;
    EXPECT_EQ(OutlineOf(source, &explorer), "ckProcedure P scPublic 2-2 -> 11\n"
                                            "ckProcedure P scPublic 3-3 -> 7\n"
                                            "ckProcedure Beep scPublic 4-4\n"
                                            "ckProcedure Later scPrivate 6-6 -> 12\n"
                                            "ckProcedure P scPrivate 7-10 -> 3\n"
                                            "  ckProcedure Local scDefault 8-9\n"
                                            "ckProcedure P scPrivate 11-11 -> 2\n"
                                            "ckProcedure Later scPrivate 12-12 -> 6\n");
    auto* beep = static_cast<TProcData*>(explorer.Item(2));
    EXPECT_EQ(beep->ExternalText, "'kernel32.dll'");
    EXPECT_EQ(beep->CallConvention, ccStdCall);
    EXPECT_TRUE(beep->InInterface);
    EXPECT_FALSE(static_cast<TProcData*>(explorer.Item(4))->InInterface);
    EXPECT_TRUE(test::CheckModel(explorer, 14, true).empty());
}

TEST(ModuleExplorer, ProgramsAndFragmentsAreImplementation) {
    TModuleExplorer explorer;
    EXPECT_EQ(
        OutlineOf("program P;\nuses A;\nprocedure Q; begin end;\nbegin\n  Q;\nend.\n", &explorer),
        "ckUses interface uses clause scPublic 1-1\n"
        "ckProcedure Q scPrivate 2-2\n");
    EXPECT_EQ(explorer.ImplementationLine(), 0);
    EXPECT_EQ(explorer.ModuleKind(), mkProgram);
    EXPECT_EQ(explorer.Module().EndLine, 5);

    explorer.ImplementationOnly = true;
    EXPECT_EQ(OutlineOf("procedure TFoo.A; begin end;\nprocedure B; begin end;", &explorer),
              "ckMethodImpl TFoo.A scDefault 0-0 -> -1\n"
              "ckProcedure B scPrivate 1-1\n"
              "ckClass TFoo scPublic -1-0 implied\n"
              "  ckMethod A scDefault -1-0 implied -> 0\n");
    EXPECT_EQ(explorer.ModuleKind(), mkNoHeading);
    EXPECT_EQ(explorer.ItemAtLine(0)->Kind(), ckMethodImpl) << "implied items are at no line";

    explorer.ImplementationOnly = false;
    EXPECT_EQ(OutlineOf("library L; type TA = class automated procedure X; end; end.", &explorer),
              "ckClass TA scPublic 0-0\n"
              "  ckVisibility automated scAutomated 0-0\n"
              "  ckMethod X scAutomated 0-0\n");
    EXPECT_EQ(explorer.ModuleKind(), mkLibrary);
    OutlineOf("package P; end.", &explorer);
    EXPECT_EQ(explorer.ModuleKind(), mkPackage);
}

TEST(ModuleExplorer, MalformedDeclarationsAreDiscardedAndTheParseGoesOn) {
    TModuleExplorer explorer;
    EXPECT_EQ(OutlineOf("unit U;\ninterface\nuses A in 'a.pas', B;\ntype\n"
                        "  TFoo = class\n"
                        "    property X: Integer frobnicate 5;\n"
                        "    procedure Ok;\n"
                        "  end;\n",
                        &explorer),
              "ckUses interface uses clause scPublic 2-2\n"
              "ckClass TFoo scPublic 4-7\n"
              "  ckProperty X scDefault 5-5\n"
              "  ckMethod Ok scDefault 6-6\n");
    auto* uses = static_cast<TUsesClause*>(explorer.Item(0));
    EXPECT_EQ(uses->Units.Text(), "A\r\nin\r\n");
    ASSERT_EQ(explorer.ErrorCount(), 3);
    EXPECT_EQ(explorer.Errors()[0], "Unexpected token \"'a.pas'\" in line 3 col 11");
    EXPECT_EQ(explorer.Errors()[1], "Unexpected token \"frobnicate\" in line 6 col 25");
    EXPECT_EQ(explorer.Errors()[2], "Unexpected token \";\" in line 6 col 37")
        << "what follows the error is read again from the next token";
    EXPECT_TRUE(test::CheckModel(explorer, 8, false).empty());

    // Text ending inside a class leaves it open.
    OutlineOf("unit U; interface type\n  TOpen = class\n    procedure X;\n", &explorer);
    EXPECT_EQ(explorer.Item(0)->EndLine, 0);
    EXPECT_EQ(explorer.Item(0)->DeclEndLine, 1);
    EXPECT_EQ(explorer.ErrorCount(), 0);
}

TEST(ModuleExplorer, RoutineDirectivesAndErrors) {
    TModuleExplorer explorer;
    OutlineOf("unit U; interface type TFoo = class\n"
              "  procedure WMPaint(var Msg: TWMPaint); message WM_PAINT;\n"
              "  procedure F; forward;\n"
              "  function G(A: Integer;\n"
              "    B: string): Integer; cdecl; reintroduce; dynamic;\n"
              "end;\n"
              "procedure Bad; virtual;\n"
              "implementation end.",
              &explorer);
    auto* cls = explorer.Item(0);
    EXPECT_EQ(cls->Child(0)->GetDeclaration(),
              "procedure WMPaint(var Msg: TWMPaint); message WM_PAINT;");
    EXPECT_EQ(cls->Child(2)->GetDeclaration(),
              "function G(A: Integer; B: string): Integer; reintroduce; dynamic; cdecl;");
    EXPECT_EQ(cls->Child(2)->DeclEndLine, 4);
    ASSERT_EQ(explorer.ErrorCount(), 2);
    // Reported at the token after the declaration, which is then read as usual.
    EXPECT_EQ(explorer.Errors()[0], "Unexpected directive in line 4 col 3");
    EXPECT_EQ(explorer.Errors()[1], "Illegal procedure directives in line 8 col 1");
}

TEST(ModuleExplorer, EventsLocksAndPositions) {
    TModuleExplorer explorer;
    int changes = 0, updateEnds = 0;
    explorer.OnChange = [&](TModuleExplorer&) { ++changes; };
    explorer.OnUpdateEnd = [&](TModuleExplorer&) { ++updateEnds; };
    TStringList lines;
    lines.SetText("unit U; interface implementation\nprocedure A;\nbegin\nend;\nend.");
    explorer.Parse(&lines);
    EXPECT_EQ(changes, 1);
    explorer.BeginUpdate();
    explorer.Parse(&lines);
    explorer.Parse(nullptr);
    EXPECT_EQ(changes, 1) << "parsing is ignored while locked";
    explorer.EndUpdate();
    EXPECT_EQ(updateEnds, 1);
    EXPECT_EQ(explorer.ItemAtLine(2)->Name, "A");
    EXPECT_EQ(explorer.ItemAtLine(4), nullptr);

    explorer.ShiftLinesInserted(nullptr, 0, 2);
    EXPECT_EQ(explorer.ImplementationLine(), 2);
    EXPECT_EQ(explorer.Item(0)->StartLine, 3);
    explorer.ShiftLinesDeleted(nullptr, 1, 1);
    EXPECT_EQ(explorer.ImplementationLine(), 1);

    explorer.Clear();
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(explorer.ModuleKind(), mkCleared);
    explorer.Clear();
    EXPECT_EQ(changes, 2) << "clearing an empty model is no change";
}

} // namespace
} // namespace kolva
