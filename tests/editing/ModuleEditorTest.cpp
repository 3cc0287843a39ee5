#include "editing/ModuleEditors.h"
#include "platform/SysUtils.h"
#include "support/EngineFixture.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

using test::Answer;
using test::TScriptedDialogEditors;

const char* const Shapes = R"(unit Shapes;

interface

uses
  SysUtils;

type
  TShape = class
  public
    function Area: Double; virtual;
  end;

function Describe(Shape: TShape): string;

implementation

function TShape.Area: Double;
begin
  Result := 0;
end;

function Describe(Shape: TShape): string;
begin
  Result := FloatToStr(Shape.Area);
end;

end.
)";

class ModuleEditorTest : public test::TEngineTest {};

TEST_F(ModuleEditorTest, AddsAnInterfacedProcedureWithItsImplementation) {
    Load(Shapes);
    TScriptedDialogEditors dialogs(Answer("procedure Reset(Shape: TShape);"));
    ASSERT_TRUE(Editor.AddProcedure(nullptr));
    EXPECT_EQ(Text(), R"(unit Shapes;

interface

uses
  SysUtils;

type
  TShape = class
  public
    function Area: Double; virtual;
  end;

function Describe(Shape: TShape): string;

procedure Reset(Shape: TShape);

implementation

function TShape.Area: Double;
begin
  Result := 0;
end;

function Describe(Shape: TShape): string;
begin
  Result := FloatToStr(Shape.Area);
end;

procedure Reset(Shape: TShape);
begin
  
end;

end.
)");
    EXPECT_TRUE(Compiles("Shapes"));
    EXPECT_EQ(Find("Reset").StartLine, 15) << "parsed again after the edit";
    ExpectUndoRestores();
}

TEST_F(ModuleEditorTest, AddsLocalAndForwardProcedures) {
    Load(Shapes);
    {
        TScriptedDialogEditors dialogs(Answer("function Twice(X: Double): Double;"));
        ASSERT_TRUE(Editor.AddProcedure(&Find("Describe", 1)));
    }
    {
        TScriptedDialogEditors dialogs([](TCodeItem& item) {
            auto& proc = static_cast<TProcData&>(item);
            EXPECT_EQ(proc.Name, "New");
            EXPECT_TRUE(proc.InInterface && proc.InterfaceCapable);
            proc.InInterface = false;
            proc.Directives.Include(pdForward);
            return true;
        });
        ASSERT_TRUE(Editor.AddProcedure(nullptr));
    }
    EXPECT_EQ(Text(), R"(unit Shapes;

interface

uses
  SysUtils;

type
  TShape = class
  public
    function Area: Double; virtual;
  end;

function Describe(Shape: TShape): string;

implementation

function TShape.Area: Double;
begin
  Result := 0;
end;

procedure New; forward;

function Describe(Shape: TShape): string;

  function Twice(X: Double): Double;
  begin
    
  end;

begin
  Result := FloatToStr(Shape.Area);
end;

procedure New;
begin
  
end;

end.
)");
    EXPECT_TRUE(Compiles("Shapes"));
}

TEST_F(ModuleEditorTest, NamesTheNewProcedureUniquely) {
    Load("unit U;\ninterface\nprocedure New;\nimplementation\nprocedure New;\nbegin\nend;\nend.\n");
    std::string name;
    TScriptedDialogEditors dialogs([&](TCodeItem& item) {
        name = item.Name;
        return false;
    });
    EXPECT_FALSE(Editor.AddProcedure(nullptr));
    EXPECT_EQ(name, "New1");
    EXPECT_EQ(Text(), Original) << "a cancelled dialog changes nothing";
    EXPECT_EQ(Unit.UndoCount(), 0);
}

TEST_F(ModuleEditorTest, EditsDeclarationAndImplementationTogether) {
    Load(Shapes);
    TScriptedDialogEditors dialogs(
        Answer("function Describe(Shape: TShape; Digits: Integer): string; overload;"));
    ASSERT_TRUE(Editor.EditProcedure(Find("Describe", 1)));
    EXPECT_EQ(Find("Describe", 0).GetDeclaration(),
              "function Describe(Shape: TShape; Digits: Integer): string; overload;");
    EXPECT_EQ(Find("Describe", 1).GetDeclaration(),
              "function Describe(Shape: TShape; Digits: Integer): string;");
    EXPECT_NE(Text().find("string;\nbegin\n  Result := FloatToStr"), std::string::npos)
        << "the body stays";
    ExpectUndoRestores();
}

TEST_F(ModuleEditorTest, MovesAProcedureOutOfTheInterface) {
    Load(Shapes);
    TScriptedDialogEditors dialogs([](TCodeItem& item) {
        static_cast<TProcData&>(item).InInterface = false;
        return true;
    });
    ASSERT_TRUE(Editor.EditProcedure(Find("Describe")));
    EXPECT_EQ(Text().find("end;\n\nfunction Describe(Shape: TShape): string;\n\nimplementation"),
              std::string::npos);
    EXPECT_EQ(Explorer.ItemCount(), 4) << "only the implementation is left";
    EXPECT_TRUE(Compiles("Shapes"));
}

TEST_F(ModuleEditorTest, ExternalProceduresLoseOrGainTheirBody) {
    Load("unit U;\ninterface\nprocedure Beep;\nimplementation\nprocedure Beep;\nbegin\nend;\n"
         "procedure Busy;\nbegin\n  Beep;\nend;\nend.\n");
    TScriptedDialogEditors dialogs([](TCodeItem& item) {
        auto& proc = static_cast<TProcData&>(item);
        proc.InInterface = false;
        proc.Directives.Include(pdExternal);
        proc.ExternalText = "'beep.so'";
        return true;
    });
    test::TScriptedDialogs boxes;
    ASSERT_TRUE(Editor.EditProcedure(Find("Beep")));
    EXPECT_EQ(Text(), "unit U;\ninterface\nimplementation\nprocedure Beep; external 'beep.so';\n"
                      "procedure Busy;\nbegin\n  Beep;\nend;\nend.\n");
    EXPECT_TRUE(boxes.Texts.empty());

    ASSERT_TRUE(Editor.EditProcedure(Find("Busy")));
    EXPECT_EQ(boxes.Texts.at(0), "Left code in external declared procedure Busy");
    EXPECT_NE(Text().find("procedure Busy; external 'beep.so';\nbegin\n  Beep;"),
              std::string::npos);

    dialogs.Script = [](TCodeItem& item) {
        static_cast<TProcData&>(item).Directives.Exclude(pdExternal);
        return true;
    };
    ASSERT_TRUE(Editor.EditProcedure(Find("Beep")));
    EXPECT_NE(Text().find("procedure Beep;\nbegin\n  \nend;\nprocedure Busy"), std::string::npos);
}

TEST_F(ModuleEditorTest, DeletesDeclarationAndImplementationWithOneBlankLineEach) {
    Load(Shapes);
    Editor.DeleteProcedure(Find("Describe"));
    EXPECT_EQ(Text(), R"(unit Shapes;

interface

uses
  SysUtils;

type
  TShape = class
  public
    function Area: Double; virtual;
  end;

implementation

function TShape.Area: Double;
begin
  Result := 0;
end;

end.
)");
    EXPECT_TRUE(Compiles("Shapes"));
    ExpectUndoRestores();
}

TEST_F(ModuleEditorTest, RefusesToDeleteOverlappingPairs) {
    Load("procedure A;\nbegin\nend;\n");
    auto* decl = new TProcData(&Explorer.Module()); // a declaration inside its own body
    decl->Name = "A";
    decl->StartLine = 1;
    decl->InInterface = true;
    TProcItem::Link(decl, static_cast<TProcItem*>(&Find("A")));
    try {
        Editor.DeleteProcedure(*decl);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Cannot delete internally redefined procedure");
    }
    EXPECT_EQ(Text(), Original);
    TMethodItem method(nullptr);
    EXPECT_THROW(Editor.DeleteProcedure(method), Exception);
}

TEST_F(ModuleEditorTest, MovesRenamesAndDeletesSelections) {
    Load("program P;\n\nprocedure A;\nbegin\nend;\n\nprocedure B;\n\n  procedure Inner;\n"
         "  begin\n  end;\n\nbegin\nend;\n\nprocedure C;\nbegin\nend;\n\nbegin\nend.\n");
    Editor.MoveProcedure(Find("A"), Find("C"));
    EXPECT_EQ(Text(), "program P;\n\nprocedure B;\n\n  procedure Inner;\n  begin\n  end;\n\n"
                      "begin\nend;\n\nprocedure C;\nbegin\nend;\n\nprocedure A;\nbegin\nend;\n\n"
                      "begin\nend.\n");
    Editor.MoveProcedure(Find("A"), Find("B"));
    EXPECT_EQ(Text().substr(0, 35), "program P;\n\nprocedure A;\nbegin\nend;");

    Editor.RenameProcedures(Find("C"), "C", "Renamed");
    EXPECT_NE(Text().find("procedure Renamed;\nbegin"), std::string::npos);

    // Local procedures alone are a procedure copy; mixed with others they stand for their
    // outermost routine.
    TItemList selection{Find("B").Child(0)};
    TCopyKind kind = coModuleCopy;
    TModuleEditor::NormalizeSelection(selection, kind);
    EXPECT_EQ(kind, coProcedureCopy);
    ASSERT_EQ(selection.size(), 1u);
    kind = coModuleCopy;
    selection = {Find("B").Child(0), &Find("Renamed")};
    TModuleEditor::NormalizeSelection(selection, kind);
    ASSERT_EQ(selection.size(), 2u);
    EXPECT_EQ(selection[0]->Name, "B");
    EXPECT_EQ(kind, coModuleCopy);

    const TItemList both{&Find("A"), &Find("Renamed")};
    Editor.DeleteSelection(coModuleCopy, &Explorer.Module(), &both);
    EXPECT_EQ(Text(), "program P;\n\nprocedure B;\n\n  procedure Inner;\n  begin\n  end;\n\n"
                      "begin\nend;\n\nbegin\nend.\n");
    ExpectUndoRestores();
}

TEST_F(ModuleEditorTest, ChangesProceduresBetweenInterfaceAndImplementation) {
    Load(Shapes);
    Editor.ChangeVisibility(&Explorer.Module(), {&Find("Describe")}, scPrivate);
    EXPECT_EQ(Text().find("function Describe(Shape: TShape): string;\n\nimplementation"),
              std::string::npos);
    EXPECT_TRUE(Compiles("Shapes"));
    Editor.ChangeVisibility(&Explorer.Module(), {&Find("Describe")}, scPublic);
    EXPECT_EQ(Text(), Original);
    EXPECT_THROW(Editor.ChangeVisibility(nullptr, {}, scPublic), Exception);
}

// An implementation whose declaration leaves the interface part must say all the declaration
// said: its parameters and result when its heading is short, "overload", the convention.
TEST_F(ModuleEditorTest, ImplementationTakesOverTheHeadingOfALeavingDeclaration) {
    const char* const before = R"(unit Heads;
interface
function Twice(X: Integer): Integer; stdcall; overload;
function Twice(S: string): string; overload;
function Half(X: Integer): Integer;
implementation
function Twice(X: Integer): Integer;
begin
  Result := 2 * X;
end;
function Twice(S: string): string;
begin
  Result := S + S;
end;
function Half;
begin
  Result := X div 2;
end;
end.
)";
    Check({before,
           [this] {
               Editor.ChangeVisibility(&Explorer.Module(),
                                       {&Find("Twice"), &Find("Twice", 1), &Find("Half")},
                                       scPrivate);
           },
           {{"interface\nfunction Twice(X: Integer): Integer; stdcall; overload;\n"
             "function Twice(S: string): string; overload;\nfunction Half(X: Integer): Integer;\n",
             "interface\n"},
            {"function Twice(X: Integer): Integer;\nbegin",
             "function Twice(X: Integer): Integer; overload; stdcall;\nbegin"},
            {"function Twice(S: string): string;\nbegin",
             "function Twice(S: string): string; overload;\nbegin"},
            {"function Half;", "function Half(X: Integer): Integer;"}}},
          "Heads");
}

TEST_F(ModuleEditorTest, BlankLineRulesAtTheEdgesOfTheText) {
    Load("procedure A;\nbegin\nend;");
    TProcData item(nullptr);
    item.Name = "B";
    item.Directives.Include(pdForward);
    {
        TModuleEditor::TEdit edit(Editor, false);
        Editor.InsertDeclaration(item, 0);
        Editor.InsertDeclaration(item, Editor.Lines().Count());
    }
    EXPECT_EQ(Text(), "\nprocedure B; forward;\n\nprocedure A;\nbegin\nend;\n\nprocedure B; "
                      "forward;\n\n");
    Load("procedure A;\nbegin\nend;\n\n\nprocedure B;\nbegin\nend;\n");
    Editor.DeleteProcedure(Find("A"));
    EXPECT_EQ(Text(), "\nprocedure B;\nbegin\nend;\n") << "one blank line goes with the item";
}

TEST_F(ModuleEditorTest, ConfirmationsAndUnsupportedOperations) {
    Load(Shapes);
    test::TScriptedDialogs boxes;
    boxes.Answers = {mrOk, mrCancel};
    EXPECT_TRUE(Editor.ConfirmDelete(Find("Describe")));
    EXPECT_FALSE(Editor.ConfirmDelete(Find("TShape")));
    EXPECT_EQ(boxes.Texts.at(0), "Delete function Describe?");
    EXPECT_EQ(boxes.Texts.at(1), "Delete class TShape?");
    TStringList text;
    try {
        Editor.InsertClasses(Explorer.Module(), text);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "This function is not implemented yet");
    }
    EXPECT_THROW(Editor.UpdateDeclaration(nullptr), Exception);
}

} // namespace
} // namespace kolva
