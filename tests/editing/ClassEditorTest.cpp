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

const char* const Plain = R"(unit Plain;

interface

uses
  SysUtils;

var
  Total: Integer;

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

end.
)";

const char* const Shapes = R"(unit Shapes;

interface

type
  IShape = interface
    ['{8B0F3C2A-1D4E-4F6A-9B7C-2E5D8A1F0C34}']
    function Area: Double;
  end;

  TShape = class(TInterfacedObject, IShape)
  private
    FName: string;
    FCount: Integer;
  public
    function Area: Double; virtual;
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
begin
  Result := Value * 2;
end;

function TShape.Area: Double;
begin
  Result := 0;
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
    std::function<void()> Add(int Kind, const char* Decl = nullptr, bool Private = false) {
        return [=, this] {
            TScriptedDialogEditors dialogs([=](TCodeItem& Item) {
                if (Decl) Answer(Decl)(Item);
                if (Private) Item.Visibility = scPrivate;
                return true;
            });
            ASSERT_TRUE(Kolva.AddClass(Kind, ""));
        };
    }
    std::function<void()> Convert(const char* Member, TCodeItemKind Target,
                                  const char* Container = nullptr) {
        return [=, this] {
            TCodeItem& item = Find(Member);
            Kolva.ConvertMember(Container ? Find(Container) : *item.Parent(), item, Target);
        };
    }

    TKolvaEditor Kolva;
    test::TScriptedDialogs Boxes;
};

// The name a unit text declares, under which it is compiled.
const char* UnitName(const std::string& Text) {
    static std::string name;
    name = Text.substr(5, Text.find(';') - 5);
    return name.c_str();
}

const std::string DefaultClass = "type\n  TDefault = class(TObject)\n  end;\n";

TEST_F(ClassEditorTest, NewTypesFindTheirPlaceAndTheirTypeLine) {
    const auto twice = [this](int Kind) {
        return [=, this] {
            Add(Kind)();
            Add(Kind)();
        };
    };
    const struct {
        test::TEditCase Case;
    } cases[] = {
        {{Bare, Add(0), {{"\nimplementation", "\n" + DefaultClass + "\nimplementation"}}}},
        {{Bare,
          Add(1, nullptr, true),
          {{"implementation\n",
            "implementation\n\ntype\n  IDefault = interface(IUnknown)\n  end;\n"}}}},
        {{Plain,
          twice(0),
          {{"  Total: Integer;\n\n", "  Total: Integer;\n\n" + DefaultClass +
                                         "\n  TDefault1 = class(TObject)\n  end;\n\n"}}}},
        {{Shapes,
          twice(1),
          {{"  end;\n\n  TShape =", "  end;\n\n  IDefault = interface(IUnknown)\n  end;\n\n"
                                    "  IDefault1 = interface(IUnknown)\n  end;\n\n  TShape ="}}}},
        {{Shapes,
          Add(2, "TPoint = object"),
          {{"    Count: Integer;\n  end;\n",
            "    Count: Integer;\n  end;\n\n  TPoint = object\n  end;\n"}}}},
        // Below the variables of the implementation part, a type needs its own section.
        {{test::Replaced(Plain,
                         {{"implementation\n", "implementation\n\nvar\n  Count: Integer;\n"}}),
          Add(3, "IDisp = dispinterface ['{11111111-2222-3333-4444-555555555555}']", true),
          {{"  Count: Integer;\n\n", "  Count: Integer;\n\ntype\n  IDisp = dispinterface\n"
                                     "  ['{11111111-2222-3333-4444-555555555555}']\n  end;\n\n"}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        Check(c.Case, UnitName(c.Case.Before));
    }
}

TEST_F(ClassEditorTest, RenamesEditsMovesDeletesAndAncestors) {
    const auto edit = [this](const char* Name, const char* Decl, TVisibility Part) {
        return [=, this] {
            TScriptedDialogEditors dialogs([=](TCodeItem& Item) {
                if (Decl) Answer(Decl)(Item);
                Item.Visibility = Part;
                return true;
            });
            ASSERT_TRUE(Kolva.EditMember(Find(Name)));
        };
    };
    const test::TReplacements renamed = {
        {"  TShape = class", "  TFigure = class"},
        {"  TSquare = class(TShape)", "  TSquare = class(TFigure)"},
        {"  TShapeHolder = class(TShape,", "  TShapeHolder = class(TFigure,"},
        {"function TShape.Area", "function TFigure.Area"},
        {"function TShape.Sides", "function TFigure.Sides"},
        {"procedure TShape.Reset", "procedure TFigure.Reset"}};
    const std::string holder = "  TShapeHolder = class(TShape, IShape)\n"
                               "    function IShape.Area = HolderArea;\n"
                               "    function HolderArea: Double;\n  end;\n\n";
    const struct {
        test::TEditCase Case;
        bool Compiles = true;
    } cases[] = {
        {{Shapes, [this] { Kolva.RenameMember(Find("TShape"), "TFigure"); }, renamed}},
        {{Shapes,
          [this] { Kolva.RenameMember(Find("IShape"), "IFigure"); },
          {{"  IShape = interface", "  IFigure = interface"},
           {"(TInterfacedObject, IShape)", "(TInterfacedObject, IFigure)"},
           {"(TShape, IShape)", "(TShape, IFigure)"}}},
         false}, // the resolution clause keeps the old name
        {{Shapes, edit("TShape", "TFigure = class(TInterfacedObject, IShape)", scPublic), renamed}},
        {{Shapes,
          edit("TTally", nullptr, scPrivate),
          {{"  TTally = class\n  public\n    Count: Integer;\n  end;\n\n", ""},
           {"implementation\n\n", "implementation\n\ntype\n  TTally = class\n  public\n"
                                  "    Count: Integer;\n  end;\n\n"}}}},
        {{test::Replaced(Shapes, {{"implementation\n", "implementation\n\ntype\n  TLocal = class\n"
                                                       "  end;\n\nvar\n  Tally: Integer;\n"}}),
          edit("TLocal", nullptr, scPublic),
          {{"    Count: Integer;\n  end;\n",
            "    Count: Integer;\n  end;\n\ntype\n  TLocal = class\n"
            "  end;\n"},
           {"type\n  TLocal = class\n  end;\n\nvar", "var"}}}},
        {{Shapes,
          [this] { Kolva.DeleteClass(Class("TSquare")); },
          {{"  TSquare = class(TShape)\n  public\n    function Area: Double; override;\n"
            "  end;\n\n",
            ""},
           {"function TSquare.Area: Double;\nbegin\n  Result := 1;\nend;\n\n", ""}}}},
        {{test::Replaced(Plain, {{"implementation\n", "implementation\n\ntype\n  TLocal = class\n"
                                                      "  end;\n\nvar\n  Tally: Integer;\n"}}),
          [this] { Kolva.DeleteClass(Class("TLocal")); },
          {{"type\n  TLocal = class\n  end;\n\n", ""}}}},
        {{Shapes,
          [this] { Kolva.SetAncestor(Class("TTally"), "TSquare"); },
          {{"  TTally = class\n", "  TTally = class(TSquare)\n"}}}},
        {{Shapes,
          [this] { Kolva.SetAncestor(Class("TShape"), "TTally"); },
          {},
          "TTally is declared after TShape"}},
        {{Shapes,
          [this] { Kolva.SetAncestor(Class("TSquare"), "IShape"); },
          {},
          "IShape is not a class"}},
        {{Shapes,
          [this] { Kolva.SetAncestor(Class("TSquare"), "TSquare"); },
          {},
          "TSquare cannot descend from itself"}},
        // Drops: in code order, by name, in the hierarchy.
        {{Shapes,
          [this] { ASSERT_TRUE(Kolva.DropClassInCode(Class("TTally"), Class("IShape"))); },
          {{"  TTally = class\n  public\n    Count: Integer;\n  end;\n\n", ""},
           {"type\n", "type\n  TTally = class\n  public\n    Count: Integer;\n  end;\n\n"}}}},
        {{Shapes,
          [this] { Kolva.DropClassInCode(Class("TShape"), Class("TTally")); },
          {},
          "Cannot move TShape past TSquare, which uses it"}},
        {{Shapes,
          [this] { ASSERT_TRUE(Kolva.DropClassSorted(Class("IShape"), Class("TTally"))); },
          {{"  TTally = class\n", "  TTally = class(TObject, IShape)\n"}}},
         false}, // TObject does not count references
        {{Shapes,
          [this] { ASSERT_TRUE(Kolva.DropClassInHierarchy(Class("TTally"), Class("TShape"))); },
          {{"  TTally = class\n", "  TTally = class(TShape)\n"}}}},
        {{Shapes,
          [this] { ASSERT_FALSE(Kolva.DropClassInHierarchy(Class("TTally"), Class("IShape"))); },
          {}}},
        {{Shapes,
          [this] { Kolva.DeleteClass(Class("TShapeHolder")); },
          {{holder, ""},
           {"function TShapeHolder.HolderArea: Double;\nbegin\n  Result := 2;\n"
            "end;\n\n",
            ""}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        Check(c.Case, c.Compiles ? UnitName(c.Case.Before) : nullptr);
    }
}

TEST_F(ClassEditorTest, ConversionsKeepBodiesAndRefuseWhatCannotBe) {
    const std::string reset = "procedure TShape.Reset;\nbegin\n  FCount := 0;\nend;\n\n";
    const struct {
        test::TEditCase Case;
        bool Compiles = true;
    } cases[] = {
        {{Shapes,
          Convert("TShape.Sides", ckField),
          {{"    FCount: Integer;\n", "    FCount: Integer;\n    Sides: Integer;\n"},
           {"    function Sides: Integer;\n", ""},
           {"function TShape.Sides: Integer;\nbegin\n  Result := FCount;\nend;\n\n", ""}}}},
        {{Shapes,
          Convert("TTally.Count", ckMethod),
          {{"    Count: Integer;\n", "    function Count: Integer;\n"},
           {"\nend.", "\nfunction TTally.Count: Integer;\nbegin\n  \nend;\n\nend."}}}},
        {{Shapes,
          Convert("TShape.Reset", ckProcedure),
          {{"    procedure Reset;\n", ""},
           {"function Twice(Value: Integer): Integer;\n\n",
            "function Twice(Value: Integer): Integer;\n\nprocedure Reset;\n\n"},
           {"  Result := Value * 2;\nend;\n\n",
            "  Result := Value * 2;\nend;\n\nprocedure Reset;\nbegin\n  FCount := 0;\nend;\n\n"},
           {reset, ""}}},
         false}, // the body uses a field of the class it left
        {{Plain,
          [this] {
              Kolva.ConvertMember(Explorer.Module(), *Find("Twice", 1).Child(0), ckProcedure);
          },
          {{"implementation\n\n", "implementation\n\nfunction Half(X: Integer): Integer;\n"
                                  "begin\n  Result := X div 2;\nend;\n\n"},
           {"\n  function Half(X: Integer): Integer;\n  begin\n    Result := X div 2;\n  end;\n",
            ""}}}},
        {{Shapes,
          Convert("Twice", ckMethod, "TTally"),
          {{"    Count: Integer;\n", "    Count: Integer;\n"
                                     "    function Twice(Value: Integer): Integer;\n"},
           {"function Twice(Value: Integer): Integer;\n\n", ""},
           {"function Twice(Value: Integer): Integer;\nbegin\n  Result := Value * 2;\nend;\n\n",
            ""},
           {"\nend.",
            "\nfunction TTally.Twice(Value: Integer): Integer;\nbegin\n  Result := Value * 2;\n"
            "end;\n\nend."}}}},
        {{Shapes, Convert("TShape.Reset", ckMethod), {}}},
        {{Shapes,
          Convert("TShape.Reset", ckField),
          {},
          "Only function type methods can be converted to fields"}},
        {{Shapes, Convert("IShape.Area", ckField), {}, "Interfaces cannot contain fields"}},
        {{Shapes,
          Convert("TShapeHolder.IShape.Area", ckField),
          {},
          "Method resolution clauses cannot be converted"}},
        {{Shapes,
          Convert("TShape.FName", ckProcedure),
          {},
          "Unsupported member conversion (code: 11)"}},
        {{Shapes,
          Convert("Twice", ckField, "TTally"),
          {},
          "Unsupported member conversion (code: 6)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        Check(c.Case, c.Compiles ? UnitName(c.Case.Before) : nullptr);
    }
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
    Check({shapes, [this] { Kolva.RenameMember(Find("TTally"), "TCounter"); }, {}});
    EXPECT_EQ(designer.Told, std::vector<std::string>{"TTally TCounter"});
    Check({shapes,
           [this] { Kolva.EditMember(Find("TTally")); },
           {},
           "Cannot edit designer class TTally.\rOnly renaming is allowed."});
    Check({shapes,
           [this] { Kolva.DeleteMember(Find("TTally")); },
           {},
           "Cannot delete designer class TTally"});
    Check({shapes,
           Convert("TTally.Count", ckMethod),
           {},
           "Conversion of Components and Event Handlers not allowed"});
}

} // namespace
} // namespace kolva
