// The module editor's procedure operations: each a unit before, the operation, the unit after.
#include "editing/DeclarationText.h"
#include "editing/ModuleEditors.h"
#include "platform/SysUtils.h"
#include "support/EngineFixture.h"
#include "support/Raised.h"
#include "support/ScriptedDialogs.h"

#include <algorithm>

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

const char* const Heads = R"(unit Heads;
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

const char* const Externals = "unit Externals;\ninterface\nprocedure Beep;\nimplementation\n"
                              "procedure Beep;\nbegin\nend;\nprocedure Busy;\nbegin\n  Beep;\n"
                              "end;\nend.\n";

const char* const Program = "program P;\n\nprocedure A;\nbegin\nend;\n\nprocedure B;\n\n"
                            "  procedure Inner;\n  begin\n  end;\n\nbegin\nend;\n\n"
                            "procedure C;\nbegin\nend;\n\nbegin\nend.\n";

class ModuleEditorTest : public test::TEngineTest {
protected:
    // Runs the edit dialog of Name's N-th item with Script.
    std::function<void()> EditWith(const char* Name, int N,
                                   std::function<void(TProcData&)> Script) {
        return [=, this] {
            TScriptedDialogEditors dialogs([&](TCodeItem& Item) {
                Script(static_cast<TProcData&>(Item));
                return true;
            });
            ASSERT_TRUE(Editor.EditProcedure(Find(Name, N)));
        };
    }
    std::function<void()> ToSection(std::vector<const char*> Names, TVisibility Visibility) {
        return [=, this] {
            TItemList items;
            for (size_t i = 0; i < Names.size(); ++i)
                items.push_back(&Find(
                    Names[i], int(std::count(Names.begin(), Names.begin() + long(i), Names[i]))));
            Editor.ChangeVisibility(&Explorer.Module(), items, Visibility);
        };
    }
};

TEST_F(ModuleEditorTest, ProcedureOperations) {
    const std::string shapesPrivate =
        test::Replaced(Shapes, {{"\n\nfunction Describe(Shape: TShape): string;\n", "\n"}});
    const std::string beepExternal =
        test::Replaced(Externals, {{"procedure Beep;\nimplementation\nprocedure Beep;\nbegin\n"
                                    "end;\n",
                                    "implementation\nprocedure Beep; external 'beep.so';\n"}});
    const struct {
        test::TEditCase Case;
        const char* Compile = nullptr; // the unit's name, when the result must compile
    } cases[] = {
        // A new interfaced procedure gets its implementation, and the model is parsed again.
        {{Shapes,
          [this] {
              TScriptedDialogEditors dialogs(Answer("procedure Reset(Shape: TShape);"));
              ASSERT_TRUE(Editor.AddProcedure(nullptr));
              EXPECT_EQ(Find("Reset").StartLine, 15);
          },
          {{"string;\n\nimplementation", "string;\n\nprocedure Reset(Shape: TShape);\n\n"
                                         "implementation"},
           {"end;\n\nend.", "end;\n\nprocedure Reset(Shape: TShape);\nbegin\n  \nend;\n\nend."}}},
         "Shapes"},
        // A local procedure goes before its routine's body; a forward declaration before the
        // first implementation.
        {{Shapes,
          [this] {
              TScriptedDialogEditors dialogs(Answer("function Twice(X: Double): Double;"));
              ASSERT_TRUE(Editor.AddProcedure(&Find("Describe", 1)));
              dialogs.Script = [](TCodeItem& Item) {
                  auto& proc = static_cast<TProcData&>(Item);
                  EXPECT_EQ(proc.Name, "New");
                  EXPECT_TRUE(proc.InInterface && proc.InterfaceCapable);
                  proc.InInterface = false;
                  proc.Directives.Include(pdForward);
                  return true;
              };
              ASSERT_TRUE(Editor.AddProcedure(nullptr));
          },
          {{"end;\n\nfunction Describe(Shape: TShape): string;\nbegin",
            "end;\n\nprocedure New; forward;\n\nfunction Describe(Shape: TShape): string;\n\n"
            "  function Twice(X: Double): Double;\n  begin\n    \n  end;\n\nbegin"},
           {"end;\n\nend.", "end;\n\nprocedure New;\nbegin\n  \nend;\n\nend."}}},
         "Shapes"},
        // A cancelled dialog changes nothing; the name offered is free.
        {{"unit U;\ninterface\nprocedure New;\nimplementation\nprocedure New;\nbegin\nend;\nend.\n",
          [this] {
              std::string name;
              TScriptedDialogEditors dialogs([&](TCodeItem& Item) {
                  name = Item.Name;
                  return false;
              });
              EXPECT_FALSE(Editor.AddProcedure(nullptr));
              EXPECT_EQ(name, "New1");
              EXPECT_EQ(Unit.UndoCount(), 0);
          },
          {}},
         nullptr},
        // The declaration keeps "overload", the implementation does not take it.
        {{Shapes,
          EditWith("Describe", 1,
                   [](TProcData& Proc) {
                       ReadDeclaration(Proc, "function Describe(Shape: TShape; Digits: Integer): "
                                             "string; overload;");
                   }),
          {{"string;\n\nimpl", "string; overload;\n\nimpl"},
           {"(Shape: TShape): string;", "(Shape: TShape; Digits: Integer): string;"},
           {"(Shape: TShape): string;\nbegin",
            "(Shape: TShape; Digits: Integer): string;\nbegin"}}},
         nullptr},
        {{Shapes,
          EditWith("Describe", 0, [](TProcData& Proc) { Proc.InInterface = false; }),
          {{"\n\nfunction Describe(Shape: TShape): string;\n", "\n"}}},
         "Shapes"},
        // External procedures lose their body, unless it holds code, and get one back.
        {{Externals,
          EditWith("Beep", 0,
                   [](TProcData& Proc) {
                       Proc.InInterface = false;
                       Proc.Directives.Include(pdExternal);
                       Proc.ExternalText = "'beep.so'";
                   }),
          {{"procedure Beep;\nimplementation\nprocedure Beep;\nbegin\nend;\n",
            "implementation\nprocedure Beep; external 'beep.so';\n"}}},
         nullptr},
        {{Externals,
          [this] {
              test::TScriptedDialogs boxes;
              EditWith("Busy", 0, [](TProcData& Proc) {
                  Proc.Directives.Include(pdExternal);
                  Proc.ExternalText = "'beep.so'";
              })();
              EXPECT_EQ(boxes.Texts.at(0), "Left code in external declared procedure Busy");
          },
          {{"procedure Busy;\nbegin", "procedure Busy; external 'beep.so';\nbegin"}}},
         nullptr},
        {{beepExternal,
          EditWith("Beep", 0, [](TProcData& Proc) { Proc.Directives.Exclude(pdExternal); }),
          {{"procedure Beep; external 'beep.so';\n", "procedure Beep;\nbegin\n  \nend;\n"}}},
         "Externals"},
        // Declaration and implementation go, each with one blank line.
        {{Shapes,
          [this] { Editor.DeleteProcedure(Find("Describe")); },
          {{"\n\nfunction Describe(Shape: TShape): string;\n", "\n"},
           {"\nfunction Describe(Shape: TShape): string;\nbegin\n  Result := "
            "FloatToStr(Shape.Area);\nend;\n",
            ""}}},
         "Shapes"},
        {{"procedure A;\nbegin\nend;\n\n\nprocedure B;\nbegin\nend;\n",
          [this] { Editor.DeleteProcedure(Find("A")); },
          {{"procedure A;\nbegin\nend;\n\n", ""}}},
         nullptr},
        // Moves take a routine with its local routines and one blank line; renames rename.
        {{Program,
          [this] { Editor.MoveProcedure(Find("A"), Find("C")); },
          {{"procedure A;\nbegin\nend;\n\n", ""},
           {"procedure C;\nbegin\nend;\n\n", "procedure C;\nbegin\nend;\n\nprocedure A;\nbegin\n"
                                             "end;\n\n"}}},
         nullptr},
        {{Program,
          [this] { Editor.MoveProcedure(Find("B"), Find("A")); },
          {{"procedure B;\n\n  procedure Inner;\n  begin\n  end;\n\nbegin\nend;\n\n", ""},
           {"procedure A;", "procedure B;\n\n  procedure Inner;\n  begin\n  end;\n\nbegin\nend;"
                            "\n\nprocedure A;"}}},
         nullptr},
        {{Program,
          [this] { Editor.RenameProcedures(Find("C"), "C", "Renamed"); },
          {{"procedure C;", "procedure Renamed;"}}},
         nullptr},
        {{Program,
          [this] {
              const TItemList both{&Find("A"), &Find("C")};
              Editor.DeleteSelection(coModuleCopy, &Explorer.Module(), &both);
          },
          {{"procedure A;\nbegin\nend;\n\n", ""}, {"procedure C;\nbegin\nend;\n\n", ""}}},
         nullptr},
        // Between the interface and the implementation part.
        {{Shapes,
          ToSection({"Describe"}, scPrivate),
          {{"\n\nfunction Describe(Shape: TShape): string;\n", "\n"}}},
         "Shapes"},
        {{shapesPrivate,
          ToSection({"Describe"}, scPublic),
          {{"end;\n\nimplementation", "end;\n\nfunction Describe(Shape: TShape): string;\n\n"
                                      "implementation"}}},
         "Shapes"},
        // An implementation whose declaration leaves the interface says all the declaration
        // said: parameters and result of a short heading, "overload", the convention.
        {{Heads,
          ToSection({"Twice", "Twice", "Half"}, scPrivate),
          {{"interface\nfunction Twice(X: Integer): Integer; stdcall; overload;\n"
            "function Twice(S: string): string; overload;\nfunction Half(X: Integer): Integer;\n",
            "interface\n"},
           {"function Twice(X: Integer): Integer;\nbegin",
            "function Twice(X: Integer): Integer; overload; stdcall;\nbegin"},
           {"function Twice(S: string): string;\nbegin",
            "function Twice(S: string): string; overload;\nbegin"},
           {"function Half;", "function Half(X: Integer): Integer;"}}},
         "Heads"},
        // Blank lines at the edges of the text.
        {{"procedure A;\nbegin\nend;",
          [this] {
              TProcData item(nullptr);
              item.Name = "B";
              item.Directives.Include(pdForward);
              TModuleEditor::TEdit edit(Editor, false);
              Editor.InsertDeclaration(item, 0);
              Editor.InsertDeclaration(item, Editor.Lines().Count());
              edit.Commit();
          },
          {{"procedure A;\nbegin\nend;\n", "\nprocedure B; forward;\n\nprocedure A;\nbegin\nend;\n"
                                           "\nprocedure B; forward;\n\n"}}},
         nullptr},
        // What cannot be done is refused whole.
        {{"procedure A;\nbegin\nend;\n",
          [this] {
              auto* decl = new TProcData(&Explorer.Module()); // inside its own body
              decl->Name = "A";
              decl->StartLine = 1;
              decl->InInterface = true;
              TProcItem::Link(decl, static_cast<TProcItem*>(&Find("A")));
              Editor.DeleteProcedure(*decl);
          },
          {},
          "Cannot delete internally redefined procedure"}},
        {{Shapes,
          [this] {
              TStringList text;
              Editor.InsertClasses(Explorer.Module(), text);
          },
          {},
          "This function is not implemented yet"}},
        {{Shapes,
          [this] { Editor.ChangeVisibility(nullptr, {}, scPublic); },
          {},
          "This function is not implemented yet"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        Check(c.Case, c.Compile);
    }
}

TEST_F(ModuleEditorTest, SelectionsAndConfirmations) {
    Load(Program);
    // Local procedures alone are a procedure copy; mixed with others they stand for their
    // outermost routine.
    TItemList selection{Find("B").Child(0)};
    TCopyKind kind = coModuleCopy;
    TModuleEditor::NormalizeSelection(selection, kind);
    EXPECT_EQ(kind, coProcedureCopy);
    EXPECT_EQ(selection.size(), 1u);
    kind = coModuleCopy;
    selection = {Find("B").Child(0), &Find("C")};
    TModuleEditor::NormalizeSelection(selection, kind);
    ASSERT_EQ(selection.size(), 2u);
    EXPECT_EQ(selection[0]->Name, "B");
    EXPECT_EQ(kind, coModuleCopy);

    Load(Shapes);
    test::TScriptedDialogs boxes;
    boxes.Answers = {mrOk, mrCancel};
    EXPECT_TRUE(Editor.ConfirmDelete(Find("Describe")));
    EXPECT_FALSE(Editor.ConfirmDelete(Find("TShape")));
    EXPECT_EQ(boxes.Texts,
              (std::vector<std::string>{"Delete function Describe?", "Delete class TShape?"}));
    TMethodItem method(nullptr);
    EXPECT_THROW(Editor.DeleteProcedure(method), Exception);
    EXPECT_THROW(Editor.UpdateDeclaration(nullptr), Exception);
}

} // namespace
} // namespace kolva
