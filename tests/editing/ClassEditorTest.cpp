// Types of a unit and member conversions: each operation on a unit before, the unit after,
// whole texts compared, and the result compiled; every refusal leaves the unit as it was.
#include "editing/KolvaEditors.h"
#include "platform/SysUtils.h"
#include "support/EngineFixture.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

using test::Answer;
using test::TScriptedDialogEditors;

const char* const Bare = "unit Bare;\n\ninterface\n\nimplementation\n\nend.\n";

const char* const Shapes = R"(unit Shapes;

interface

type
  IShape = interface
    ['{8B0F3C2A-1D4E-4F6A-9B7C-2E5D8A1F0C34}']
    function Area: Double;
  end;

  TShape = class(TInterfacedObject, IShape)
  private
    FCount: Integer;
  public
    function Area: Double; virtual; abstract;
    function Sides: Integer;
    procedure Reset;
  end;

  TSquare = class(TShape)
  public
    function Area: Double; override;
  end;

  TShapeHolder = class(TShape, IShape)
    function IShape.Area = HolderArea;
    function HolderArea: Double;
  end;

  TTally = class
  public
    Count: Integer;
  end;

function Twice(Value: Integer): Integer;

implementation

function Twice(Value: Integer): Integer;

  function Half(X: Integer): Integer;
  begin
    Result := X div 2;
  end;

begin
  Result := Half(Value) * 4;
end;

function TShape.Sides: Integer;
begin
  Result := FCount;
end;

procedure TShape.Reset;
begin
  FCount := 0;
end;

function TSquare.Area: Double;
begin
  Result := 1;
end;

function TShapeHolder.HolderArea: Double;
begin
  Result := 2;
end;

end.
)";

class ClassEditorTest : public test::TEngineTest {
protected:
    ClassEditorTest() : Kolva(Explorer, &Unit) { Kolva.SetDesignerRestrictions({}); }
    TClassItem& Class(const std::string& Name) { return static_cast<TClassItem&>(Find(Name)); }
    // Adds or edits a type through a dialog that reads Decl and puts the type in Part.
    std::function<void()> Dialog(int Kind, const char* Decl, TVisibility Part = scPublic,
                                 const char* Edited = nullptr) {
        return [=, this] {
            TScriptedDialogEditors dialogs([=](TCodeItem& Item) {
                if (Decl) Answer(Decl)(Item);
                Item.Visibility = Part;
                return true;
            });
            ASSERT_TRUE(Edited ? Kolva.EditMember(Find(Edited)) : Kolva.AddClass(Kind, ""));
        };
    }
    std::function<void()> Convert(const char* Member, TCodeItemKind Target,
                                  const char* Container = nullptr) {
        return [=, this] {
            TCodeItem& item = Find(Member);
            Kolva.ConvertMember(Container ? Find(Container) : *item.Parent(), item, Target);
        };
    }
    void CheckAll(const std::vector<std::pair<test::TEditCase, bool>>& Cases) {
        for (size_t i = 0; i < Cases.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "case " << i);
            const std::string& before = Cases[i].first.Before;
            const std::string name = before.substr(5, before.find(';') - 5);
            Check(Cases[i].first, Cases[i].second ? name.c_str() : nullptr);
        }
    }

    TKolvaEditor Kolva;
    test::TScriptedDialogs Boxes;
};

TEST_F(ClassEditorTest, TypesTheirPlacesAndTheirTypeLines) {
    const auto twice = [this](int Kind) {
        return [=, this] {
            Dialog(Kind, nullptr)();
            Dialog(Kind, nullptr)();
        };
    };
    const std::string tally = "  TTally = class\n  public\n    Count: Integer;\n  end;\n\n";
    const std::string local =
        "implementation\n\ntype\n  TLocal = class\n  end;\n\nvar\n  N: Integer;\n";
    CheckAll({
        {{Bare,
          Dialog(0, nullptr),
          {{"\nimplementation", "\ntype\n  TDefault = class(TObject)\n  end;\n\nimplementation"}}},
         true},
        {{Bare,
          Dialog(1, nullptr, scPrivate),
          {{"implementation\n",
            "implementation\n\ntype\n  IDefault = interface(IUnknown)\n  end;\n"}}},
         true},
        {{Shapes,
          twice(0),
          {{tally, tally + "  TDefault = class(TObject)\n  end;\n\n  TDefault1 = class(TObject)\n  "
                           "end;\n\n"}}},
         true},
        {{Shapes,
          twice(1),
          {{"  end;\n\n  TShape =", "  end;\n\n  IDefault = interface(IUnknown)\n  end;\n\n"
                                    "  IDefault1 = interface(IUnknown)\n  end;\n\n  TShape ="}}},
         true},
        // Below the variables of the implementation part, a type needs a section of its own.
        {{test::Replaced(Shapes, {{"implementation\n", "implementation\n\nvar\n  N: Integer;\n"}}),
          Dialog(3, "IDisp = dispinterface ['{11111111-2222-3333-4444-555555555555}']", scPrivate),
          {{"  N: Integer;\n\n", "  N: Integer;\n\ntype\n  IDisp = dispinterface\n"
                                 "  ['{11111111-2222-3333-4444-555555555555}']\n  end;\n\n"}}},
         true},
        // Moved between the parts, both ways; the type line left alone goes.
        {{Shapes,
          Dialog(0, nullptr, scPrivate, "TTally"),
          {{tally, ""}, {"implementation\n\n", "implementation\n\ntype\n" + tally}}},
         true},
        {{test::Replaced(Shapes, {{"implementation\n", local}}),
          Dialog(0, nullptr, scPublic, "TLocal"),
          {{tally, tally + "type\n  TLocal = class\n  end;\n\n"},
           {"type\n  TLocal = class\n  end;\n\nvar", "var"}}},
         true},
        {{Shapes,
          [this] { Kolva.RenameMember(Find("IShape"), "IFigure"); },
          {{"  IShape = interface", "  IFigure = interface"},
           {"(TInterfacedObject, IShape)", "(TInterfacedObject, IFigure)"},
           {"(TShape, IShape)", "(TShape, IFigure)"}}},
         false}, // the resolution clause keeps the old name
        {{Shapes,
          [this] { Kolva.DeleteClass(Class("TSquare")); },
          {{"  TSquare = class(TShape)\n  public\n    function Area: Double; override;\n  end;\n\n",
            ""},
           {"function TSquare.Area: Double;\nbegin\n  Result := 1;\nend;\n\n", ""}}},
         true},
        {{test::Replaced(Shapes, {{"implementation\n", local}}),
          [this] { Kolva.DeleteClass(Class("TLocal")); },
          {{"type\n  TLocal = class\n  end;\n\n", ""}}},
         true},
        {{Shapes,
          [this] { Kolva.SetAncestor(Class("TTally"), "TSquare"); },
          {{"  TTally = class\n", "  TTally = class(TSquare)\n"}}},
         true},
        {{Shapes,
          [this] { Kolva.SetAncestor(Class("TShape"), "TTally"); },
          {},
          "TTally is declared after TShape"},
         true},
        // Drops in code order.
        {{Shapes,
          [this] { ASSERT_TRUE(Kolva.DropClassInCode(Class("TTally"), Class("IShape"))); },
          {{tally, ""}, {"type\n", "type\n" + tally}}},
         true},
        {{Shapes,
          [this] { Kolva.DropClassInCode(Class("TShape"), Class("TTally")); },
          {},
          "Cannot move TShape past TSquare, which uses it"},
         true},
    });
}

TEST_F(ClassEditorTest, ConversionsKeepBodiesAndRefuseWhatCannotBe) {
    const std::string twice = "\n  function Half(X: Integer): Integer;\n  begin\n"
                              "    Result := X div 2;\n  end;\n\nbegin\n"
                              "  Result := Half(Value) * 4;\nend;\n";
    CheckAll({
        {{Shapes,
          Convert("TShape.Sides", ckField),
          {{"    FCount: Integer;\n", "    FCount: Integer;\n    Sides: Integer;\n"},
           {"    function Sides: Integer;\n", ""},
           {"function TShape.Sides: Integer;\nbegin\n  Result := FCount;\nend;\n\n", ""}}},
         true},
        {{Shapes,
          Convert("TTally.Count", ckMethod),
          {{"    Count: Integer;\n", "    function Count: Integer;\n"},
           {"\nend.", "\nfunction TTally.Count: Integer;\nbegin\n  \nend;\n\nend."}}},
         true},
        {{Shapes,
          Convert("TShape.Reset", ckProcedure),
          {{"    procedure Reset;\n", ""},
           {"Integer;\n\nimplementation", "Integer;\n\nprocedure Reset;\n\nimplementation"},
           {"  Result := Half(Value) * 4;\nend;\n\n",
            "  Result := Half(Value) * 4;\nend;\n\nprocedure Reset;\nbegin\n  FCount := "
            "0;\nend;\n\n"},
           {"procedure TShape.Reset;\nbegin\n  FCount := 0;\nend;\n\n", ""}}},
         false}, // the body uses a field of the class it left
        {{Shapes,
          [this] {
              Kolva.ConvertMember(Explorer.Module(), *Find("Twice", 1).Child(0), ckProcedure);
          },
          {{"implementation\n\n", "implementation\n\nfunction Half(X: Integer): Integer;\n"
                                  "begin\n  Result := X div 2;\nend;\n\n"},
           {"\n  function Half(X: Integer): Integer;\n  begin\n    Result := X div 2;\n  end;\n",
            ""}}},
         true},
        {{Shapes,
          Convert("Twice", ckMethod, "TTally"),
          {{"    Count: Integer;\n",
            "    Count: Integer;\n    function Twice(Value: Integer): Integer;\n"},
           {"function Twice(Value: Integer): Integer;\n\n", ""},
           {"function Twice(Value: Integer): Integer;\n" + twice + "\n", ""},
           {"\nend.", "\nfunction TTally.Twice(Value: Integer): Integer;\n" + twice + "\nend."}}},
         true},
        {{Shapes, Convert("TShape.Reset", ckMethod), {}}, true},
        {{Shapes,
          Convert("TShape.Reset", ckField),
          {},
          "Only function type methods can be converted to fields"},
         true},
        {{Shapes, Convert("IShape.Area", ckField), {}, "Interfaces cannot contain fields"}, true},
        {{Shapes,
          Convert("TShapeHolder.IShape.Area", ckField),
          {},
          "Method resolution clauses cannot be converted"},
         true},
        {{Shapes,
          Convert("TShape.FCount", ckProcedure),
          {},
          "Unsupported member conversion (code: 11)"},
         true},
    });
}

// The designer's form class is renamed by the designer alone, and neither edited nor deleted.
class TFormDesigner : public TDesignerInterface {
public:
    bool IsDesignerClass(const std::string& Name) override { return SameText(Name, "TTally"); }
    bool RenameClass(const std::string& Old, const std::string& New) override {
        Told.push_back(Old + " " + New);
        return true;
    }
    bool IsComponent(const std::string&, const std::string& Name) override {
        return SameText(Name, "Count");
    }
    std::vector<std::string> Told;
};

TEST_F(ClassEditorTest, DesignerClassIsTheDesignersToRename) {
    TFormDesigner designer;
    Kolva.SetDesigner(&designer);
    const std::string shapes =
        test::Replaced(Shapes, {{"  public\n    Count: Integer;\n", "    Count: Integer;\n"}});
    CheckAll({{{shapes, [this] { Kolva.RenameMember(Find("TTally"), "TCounter"); }, {}}, false},
              {{shapes,
                [this] { Kolva.EditMember(Find("TTally")); },
                {},
                "Cannot edit designer class TTally.\rOnly renaming is allowed."},
               false},
              {{shapes,
                [this] { Kolva.DeleteMember(Find("TTally")); },
                {},
                "Cannot delete designer class TTally"},
               false},
              {{shapes,
                Convert("TTally.Count", ckMethod),
                {},
                "Conversion of Components and Event Handlers not allowed"},
               false}});
    EXPECT_EQ(designer.Told, std::vector<std::string>{"TTally TCounter"});
}

} // namespace
} // namespace kolva
