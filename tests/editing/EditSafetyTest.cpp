// Faults found by editing real units: each operation either gives exactly the text after, or
// is refused with the unit, its undo history and the model as they were.
#include "editing/KolvaEditors.h"
#include "support/EngineFixture.h"
#include "support/Raised.h"
#include "support/ScriptedDialogs.h"

#include <functional>

#include <gtest/gtest.h>

namespace kolva {
namespace {

using test::Answer;
using test::TScriptedDialogEditors;

class EditSafetyTest : public test::TEngineTest {
protected:
    TKolvaEditor Kolva{Explorer, &Unit};
    test::TScriptedDialogs Boxes;
};

const char* const Overloads = R"(unit R;
interface
procedure A(X: Integer); overload;
procedure A(X: string); overload;
implementation
procedure A(X: Integer);
begin
end;
procedure A(X: string);
begin
end;
end.
)";

const char* const Shared = R"(unit S;
interface
type
  TFoo = class
    FY: Integer; FZ: Integer;
    function Get: Integer; {$ifdef USEINLINE}inline;{$endif}
    procedure Old; deprecated 'use New';
    FProc: procedure(A: Integer; // the first
      B: string) of object;
  public
    procedure Multi(A: Integer; // the first
      B: string); // stays
  end;
procedure One;
implementation
function TFoo.Get: Integer;
begin
  Result := 0;
end;
procedure TFoo.Old;
begin
end;
procedure TFoo.Multi(A: Integer; B: string);
begin
end;
procedure One; begin WriteLn('one'); end;
end.
)";

using test::TReplacements;

TEST_F(EditSafetyTest, EditsKeepWhatSharesTheirLinesOrRefuse) {
    const auto rename = [this](const char* Name, int N, const char* NewName) {
        return [=, this] { Kolva.RenameMember(Find(Name, N), NewName); };
    };
    const test::TEditCase cases[] = {
        // Renaming an overload renames every declaration with its implementation.
        {Overloads,
         rename("A", 1, "B"),
         {{"procedure A(X: Integer); overload", "procedure B(X: Integer); overload"},
          {"procedure A(X: string); overload", "procedure B(X: string); overload"},
          {"procedure A(X: Integer);\nbegin", "procedure B(X: Integer);\nbegin"},
          {"procedure A(X: string);\nbegin", "procedure B(X: string);\nbegin"}},
         nullptr},
        // Names are replaced where they stand: neighbours, directives, hints and bodies stay.
        {Shared, rename("TFoo.FY", 0, "FA"), {{"FY: Integer; FZ", "FA: Integer; FZ"}}, nullptr},
        {Shared,
         rename("TFoo.Get", 0, "Value"),
         {{"function Get: Integer; {$ifdef", "function Value: Integer; {$ifdef"},
          {"function TFoo.Get: Integer;", "function TFoo.Value: Integer;"}},
         nullptr},
        {Shared,
         rename("TFoo.Old", 0, "Older"),
         {{"procedure Old; deprecated", "procedure Older; deprecated"},
          {"procedure TFoo.Old;", "procedure TFoo.Older;"}},
         nullptr},
        {Shared,
         rename("One", 0, "Two"),
         {{"procedure One;\nimpl", "procedure Two;\nimpl"},
          {"procedure One; begin", "procedure Two; begin"}},
         nullptr},
        {Shared,
         rename("TFoo.Multi", 0, "Many"),
         {{"procedure Multi(A", "procedure Many(A"}, {"TFoo.Multi(", "TFoo.Many("}},
         nullptr},
        // What cannot be taken out or rewritten alone is refused before anything changes.
        {Shared,
         [this] { Kolva.DeleteMember(Find("TFoo.FZ")); },
         {},
         "Cannot perform operation on bad formatted item FZ"},
        {Shared,
         [this] {
             TScriptedDialogEditors dialogs(Answer("procedure One(N: Integer);"));
             Kolva.EditMember(Find("One", 1));
         },
         {},
         "Cannot perform operation on bad formatted item One"},
        // A line comment inside a declaration that is written again on one line.
        {Shared,
         [this] { Kolva.ChangeVisibility(&Find("TFoo"), {&Find("TFoo.FProc")}, scPublic); },
         {{"    FProc: procedure(A: Integer; // the first\n      B: string) of object;\n", ""},
          {"  public\n", "  public\n    FProc: procedure(A: Integer; { the first} B: string) of "
                         "object;\n"}},
         nullptr},
        // A member moved to another section takes the comment after it along.
        {"unit M;\ninterface\ntype\n  TM = class\n  private\n    FA: Integer; // counts\n  "
         "public\n  end;\nimplementation\nend.\n",
         [this] { Kolva.ChangeVisibility(&Find("TM"), {&Find("TM.FA")}, scPublic); },
         {{"    FA: Integer; // counts\n", ""},
          {"public\n", "public\n    FA: Integer; // counts\n"}},
         nullptr},
        // A new field does not join a class variable section.
        {"unit C;\ninterface\ntype\n  TC = class\n  private\n    FA: Integer;\n  class var\n"
         "    FCount: Integer;\n  end;\nimplementation\nend.\n",
         [this] {
             TScriptedDialogEditors dialogs(Answer("FB: Integer;"));
             Kolva.AddField(static_cast<TClassItem&>(Find("TC")));
         },
         {{"    FA: Integer;\n", "    FA: Integer;\n    FB: Integer;\n"}},
         nullptr},
        // A comment after a rewritten declaration stays on its line.
        {Shared,
         [this] {
             TScriptedDialogEditors dialogs(Answer("procedure Multi(A: Integer; B: string); "
                                                   "virtual;"));
             Kolva.EditMember(Find("TFoo.Multi"));
         },
         {{"    procedure Multi(A: Integer; // the first\n      B: string); // stays",
           "    procedure Multi(A: Integer; B: string); virtual; // stays"}},
         nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        Boxes.Answers = {mrOk};
        Check(c);
    }
}

// An operation that damages the unit is refused whole: no line reaches the text, nothing
// is left to undo, and the model is the unit's again.
TEST_F(EditSafetyTest, ADamagingEditIsRefusedWhole) {
    const struct {
        std::function<void()> Run;
        const char* Error;
    } cases[] = {
        {[this] {
             TModuleEditor::TEdit edit(Kolva, false);
             Kolva.RemoveLines(nullptr, Find("TFoo.Old").StartLine, 1);
             edit.Commit();
         },
         "Edit refused: procedure TFoo.Old would be lost or changed. The unit is left as it was"},
        {[this] {
             TModuleEditor::TEdit edit(Kolva, false);
             Kolva.Scratch().Clear();
             Kolva.Scratch().Add("procedure ;");
             Kolva.PutScratch(nullptr, Explorer.ImplementationLine() + 1);
             edit.Commit();
         },
         "Edit refused: the result would hold a declaration that cannot be read (Unexpected "
         "token \";\" in line 16 col 11). The unit is left as it was"},
        {[this] {
             TModuleEditor::TEdit edit(Kolva, false);
             Kolva.DeleteItem(Find("TFoo.Get"));
             edit.Commit();
         },
         "Edit refused: function TFoo.Get would have no declaration. The unit is left as it was"},
        {[this] {
             TModuleEditor::TEdit edit(Kolva, false);
             Kolva.RemoveLines(nullptr, 0, 1);
             throw Exception("stopped");
         },
         "stopped"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        Load(Shared);
        EXPECT_EQ(test::ErrorOf(c.Run), c.Error);
        EXPECT_EQ(Text(), Original);
        EXPECT_EQ(Unit.UndoCount(), 0);
        EXPECT_FALSE(Unit.IsEditing());
        EXPECT_EQ(Find("TFoo.Get").StartLine, 5) << "the model was parsed again";
        // The next operation opens an edit of its own, which is written and undone alone.
        Kolva.RenameMember(Find("One"), "Two");
        EXPECT_EQ(Text(),
                  test::Replaced(Original, {{"procedure One;\nimpl", "procedure Two;\nimpl"},
                                            {"procedure One; begin", "procedure Two; begin"}}));
        ExpectUndoRestores();
    }
}

const char* const Sections = R"(unit Sections;
interface
type
  TFoo = class
  private
    FX: Integer;
  public
    {$IFDEF FPC}
    procedure A;
    {$ENDIF}
    property X: Integer read FX;
  end;
  TRec = record
    A: Integer;
  end;
  TFooClass = class of TFoo;
  TZ = class(TObject) end;
  TBase = class
    procedure M; virtual; abstract;
  end;
procedure P;
function Ext(X: Integer): Integer; cdecl; external 'c' name 'abs';
implementation
procedure Fwd; forward;
procedure P;
begin
  Fwd;
end;
procedure Fwd;
begin
end;
{$IFDEF FPC}
procedure TFoo.A;
begin
end;
{$ENDIF}
end.
)";

// New text never splits a type section or lands in one branch of a condition, a body never
// goes where there is none, and the unit still compiles.
TEST_F(EditSafetyTest, NewTextStaysOutOfWhatItMustNotSplit) {
    const auto add = [this](const char* Decl, auto Operation) {
        return [=, this] {
            TScriptedDialogEditors dialogs(Answer(Decl));
            Operation();
        };
    };
    const struct {
        std::function<void()> Run;
        TReplacements Changes;
        const char* Error;
    } cases[] = {
        {add("procedure Q;", [this] { Kolva.AddProcedure(nullptr); }),
         {{"external 'c' name 'abs';\n", "external 'c' name 'abs';\n\nprocedure Q;\n\n"},
          {"begin\nend;\n{$IFDEF", "begin\nend;\n\nprocedure Q;\nbegin\n  \nend;\n\n{$IFDEF"}},
         nullptr},
        {add("procedure B;", [this] { Kolva.AddMethod(static_cast<TClassItem&>(Find("TFoo"))); }),
         {{"    {$ENDIF}\n    property", "    {$ENDIF}\n    procedure B;\n    property"},
          {"{$ENDIF}\nend.", "{$ENDIF}\n\nprocedure TFoo.B;\nbegin\n  \nend;\n\nend."}},
         nullptr},
        {add("FY: Integer;", [this] { Kolva.AddField(static_cast<TClassItem&>(Find("TZ"))); }),
         {{"  TZ = class(TObject) end;",
           "  TZ = class(TObject)\n  private\n    FY: Integer;\n  end;"}},
         nullptr},
        {[this] { Kolva.ChangeVisibility(&Find("TFoo"), {&Find("TFoo.FX")}, scPublished); },
         {},
         "Cannot move FX below property X, which uses it"},
        {[this] { Kolva.ChangeVisibility(&Find("TFoo"), {&Find("TFoo.A")}, scPrivate); },
         {},
         "Cannot move A out of its conditional block"},
        {add("procedure L;", [this] { Kolva.AddProcedure(&Find("TBase.M")); }),
         {},
         "M has no body to hold a local procedure"},
        {add("procedure L;", [this] { Kolva.AddProcedure(&Find("Ext")); }),
         {},
         "Ext has no body to hold a local procedure"},
        {[this] { Kolva.MoveProcedure(Find("P", 1), Find("Ext")); },
         {},
         "Ext is declared in the interface part; only implementations can be moved"},
        {[this] { Kolva.ChangeVisibility(&Explorer.Module(), {&Find("Fwd")}, scPublic); },
         {{"external 'c' name 'abs';\n", "external 'c' name 'abs';\n\nprocedure Fwd;\n\n"},
          {"procedure Fwd; forward;\n", ""}},
         nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        Check({Sections, c.Run, c.Changes, c.Error}, "Sections");
    }
}

// Implementations of methods of generic and nested classes carry the whole qualifier.
TEST_F(EditSafetyTest, NewImplementationsOfGenericAndNestedClasses) {
    Load("unit G;\ninterface\ntype\n  TBox<T> = class\n  public\n    procedure Put(const A: T);\n"
         "  end;\n  TOuter = class\n  type\n    TInner = class\n      procedure M;\n    end;\n"
         "  end;\nimplementation\nprocedure TBox<T>.Put(const A: T);\nbegin\nend;\n"
         "procedure TOuter.TInner.M;\nbegin\nend;\nend.\n");
    TScriptedDialogEditors dialogs(Answer("procedure Clear;"));
    ASSERT_TRUE(Kolva.AddMethod(static_cast<TClassItem&>(Find("TBox"))));
    ASSERT_TRUE(Kolva.AddMethod(static_cast<TClassItem&>(Find("TOuter.TInner"))));
    EXPECT_NE(Text().find("\nprocedure TBox<T>.Clear;\nbegin\n"), std::string::npos) << Text();
    EXPECT_NE(Text().find("\nprocedure TOuter.TInner.Clear;\nbegin\n"), std::string::npos);
    EXPECT_TRUE(Compiles("G"));
}

} // namespace
} // namespace kolva
