// Properties with their access methods and state fields: each operation on a unit with
// the kinds of property the engine must tell apart (method and field access, indexed and
// array properties, custom specifiers, an interface, a designer component as state field).
#include "editing/DeclarationText.h"
#include "editing/KolvaEditors.h"
#include "editing/PropertyLinks.h"
#include "platform/SysUtils.h"
#include "support/EngineFixture.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

const char* const Shapes = R"(unit Shapes;

interface

uses
  Classes;

type
  TShapePtr = Pointer;

  IShape = interface
    ['{8B0F3C2A-1D4E-4F6A-9B7C-2E5D8A1F0C34}']
    function Area: Double;
  end;

  TMainForm = class(TComponent)
    FButton: TComponent;
  public
    property Button: TComponent read FButton;
  end;

  TCounter = class
  private
    FValue: Integer;
    FLimit: Integer;
    step: Integer;
    function GetValue: Integer;
    procedure SetValue(AValue: Integer);
  public
    function GetSum: Integer;
    procedure Reset;
    property Value: Integer read GetValue write SetValue;
  end;

  TShapeList = class(TPersistent)
  private
    FCaption: string;
    FItems: TList;
    function GetItems(Index: Integer): Pointer;
    procedure SetCaption(const AValue: string);
  public
    function ItemCount: Integer;
    property Caption: string read FCaption write SetCaption;
    property Items[Index: Integer]: TShapePtr read GetItems;
  end;

implementation

function TCounter.GetValue: Integer;
begin
  Result := FValue;
end;

procedure TCounter.SetValue(AValue: Integer);
begin
  FValue := AValue;
end;

function TCounter.GetSum: Integer;
begin
  Result := Value + FLimit + step;
end;

procedure TCounter.Reset;
begin
  FLimit := 0;
end;

function TShapeList.GetItems(Index: Integer): Pointer;
begin
  Result := FItems[Index];
end;

procedure TShapeList.SetCaption(const AValue: string);
begin
  FCaption := AValue;
end;

function TShapeList.ItemCount: Integer;
begin
  Result := FItems.Count;
end;

end.
)";

// A designer that owns TMainForm's FButton and tells nothing else.
class TButtonDesigner : public TDesignerInterface {
public:
    bool IsDesignerClass(const std::string& ClassName) override {
        return SameText(ClassName, "TMainForm");
    }
    bool IsComponent(const std::string& ClassName, const std::string& Name) override {
        return IsDesignerClass(ClassName) && SameText(Name, "FButton");
    }
};

// The property dialog as the command line answers it: the declaration, and the access the
// specifiers ask for.
test::TScriptedDialogEditors::TScript PropertyAnswer(const std::string& Declaration) {
    return [Declaration](TCodeItem& Item) {
        ReadDeclaration(Item, Declaration);
        TPropertyLinks::Of(static_cast<TPropertyItem&>(Item)).AccessFromSpecifiers();
        return true;
    };
}

class PropertyEditorTest : public test::TEngineTest {
protected:
    PropertyEditorTest() : Kolva(Explorer, &Unit, &Designer) {
        Kolva.SetDesignerRestrictions({});
        Load(Shapes);
    }
    // The lines of a type as written now, then the headings of its method
    // implementations.
    std::string Changed(const std::string& Name) {
        const TCodeItem& cls = Find(Name);
        std::string text;
        for (int i = cls.StartLine; i <= cls.LastLine(); ++i)
            text += Unit.Text()[i] + "\n";
        for (int i = Explorer.ImplementationLine(); i < Unit.Text().Count(); ++i) {
            const std::string& line = Unit.Text()[i];
            const size_t blank = line.find(' ');
            if (blank != std::string::npos &&
                line.compare(blank + 1, Name.size() + 1, Name + ".") == 0)
                text += line + "\n";
        }
        return text;
    }
    TPropertyItem& Property(const std::string& Name) {
        return static_cast<TPropertyItem&>(Find(Name));
    }

    TButtonDesigner Designer;
    TKolvaEditor Kolva;
    test::TScriptedDialogs Boxes;
};

struct TCase {
    const char* Item;
    const char* Declaration;
    const char* Expected;
};

TEST_F(PropertyEditorTest, AddedPropertiesGetTheirAccessMembers) {
    const TCase cases[] = {
        {"TShapeList", "property Count: Integer read GetCount write SetCount;",
         R"(  TShapeList = class(TPersistent)
  private
    FCaption: string;
    FItems: TList;
    function GetItems(Index: Integer): Pointer;
    procedure SetCaption(const AValue: string);
    function GetCount: Integer;
    procedure SetCount(Value: Integer);
  public
    function ItemCount: Integer;
    property Caption: string read FCaption write SetCaption;
    property Items[Index: Integer]: TShapePtr read GetItems;
    property Count: Integer read GetCount write SetCount;
  end;
function TShapeList.GetItems(Index: Integer): Pointer;
procedure TShapeList.SetCaption(const AValue: string);
function TShapeList.ItemCount: Integer;
function TShapeList.GetCount: Integer;
procedure TShapeList.SetCount(Value: Integer);
)"},
        {"TShapeList", "property Left: Integer index 0 read GetLeft write SetLeft;",
         R"(  TShapeList = class(TPersistent)
  private
    FCaption: string;
    FItems: TList;
    function GetItems(Index: Integer): Pointer;
    procedure SetCaption(const AValue: string);
    function GetLeft(Index: Integer): Integer;
    procedure SetLeft(Index: Integer; Value: Integer);
  public
    function ItemCount: Integer;
    property Caption: string read FCaption write SetCaption;
    property Items[Index: Integer]: TShapePtr read GetItems;
    property Left: Integer index 0 read GetLeft write SetLeft;
  end;
function TShapeList.GetItems(Index: Integer): Pointer;
procedure TShapeList.SetCaption(const AValue: string);
function TShapeList.ItemCount: Integer;
function TShapeList.GetLeft(Index: Integer): Integer;
procedure TShapeList.SetLeft(Index: Integer; Value: Integer);
)"},
        {"TShapeList", "property Names[Idx: Integer]: string read GetNames write SetNames;",
         R"(  TShapeList = class(TPersistent)
  private
    FCaption: string;
    FItems: TList;
    function GetItems(Index: Integer): Pointer;
    procedure SetCaption(const AValue: string);
    function GetNames(Idx: Integer): string;
    procedure SetNames(Idx: Integer; const Value: string);
  public
    function ItemCount: Integer;
    property Caption: string read FCaption write SetCaption;
    property Items[Index: Integer]: TShapePtr read GetItems;
    property Names[Idx: Integer]: string read GetNames write SetNames;
  end;
function TShapeList.GetItems(Index: Integer): Pointer;
procedure TShapeList.SetCaption(const AValue: string);
function TShapeList.ItemCount: Integer;
function TShapeList.GetNames(Idx: Integer): string;
procedure TShapeList.SetNames(Idx: Integer; const Value: string);
)"},
        {"TShapeList", "property Total: Integer read ItemCount write FTotal;",
         R"(  TShapeList = class(TPersistent)
  private
    FCaption: string;
    FItems: TList;
    FTotal: Integer;
    function GetItems(Index: Integer): Pointer;
    procedure SetCaption(const AValue: string);
  public
    function ItemCount: Integer;
    property Caption: string read FCaption write SetCaption;
    property Items[Index: Integer]: TShapePtr read GetItems;
    property Total: Integer read ItemCount write FTotal;
  end;
function TShapeList.GetItems(Index: Integer): Pointer;
procedure TShapeList.SetCaption(const AValue: string);
function TShapeList.ItemCount: Integer;
)"},
        {"IShape", "property Width: Integer read GetWidth write SetWidth;", R"(  IShape = interface
    ['{8B0F3C2A-1D4E-4F6A-9B7C-2E5D8A1F0C34}']
    function Area: Double;
    function GetWidth: Integer; stdcall;
    procedure SetWidth(Value: Integer); stdcall;
    property Width: Integer read GetWidth write SetWidth;
  end;
)"},
    };
    for (const TCase& c : cases) {
        Load(Shapes);
        test::TScriptedDialogEditors dialogs(PropertyAnswer(c.Declaration));
        ASSERT_TRUE(Kolva.AddProperty(static_cast<TClassItem&>(Find(c.Item))));
        EXPECT_EQ(Changed(c.Item), c.Expected) << c.Declaration;
        EXPECT_TRUE(Compiles("Shapes")) << c.Declaration;
    }
}

TEST_F(PropertyEditorTest, EditedPropertiesRegenerateTheirAccessMembers) {
    const TCase cases[] = {
        // The write method keeps its "const" and its parameter name.
        {"TShapeList.Caption", "property Caption: AnsiString read FCaption write SetCaption;",
         R"(  TShapeList = class(TPersistent)
  private
    FCaption: AnsiString;
    FItems: TList;
    function GetItems(Index: Integer): Pointer;
    procedure SetCaption(const AValue: AnsiString);
  public
    function ItemCount: Integer;
    property Caption: AnsiString read FCaption write SetCaption;
    property Items[Index: Integer]: TShapePtr read GetItems;
  end;
function TShapeList.GetItems(Index: Integer): Pointer;
procedure TShapeList.SetCaption(const AValue: AnsiString);
function TShapeList.ItemCount: Integer;
)"},
        {"TShapeList.Items",
         "property Items[Index: Integer]: TShapePtr read GetItems write SetItems;",
         R"(  TShapeList = class(TPersistent)
  private
    FCaption: string;
    FItems: TList;
    function GetItems(Index: Integer): Pointer;
    procedure SetCaption(const AValue: string);
    procedure SetItems(Index: Integer; Value: TShapePtr);
  public
    function ItemCount: Integer;
    property Caption: string read FCaption write SetCaption;
    property Items[Index: Integer]: TShapePtr read GetItems write SetItems;
  end;
function TShapeList.GetItems(Index: Integer): Pointer;
procedure TShapeList.SetCaption(const AValue: string);
function TShapeList.ItemCount: Integer;
procedure TShapeList.SetItems(Index: Integer; Value: TShapePtr);
)"},
        {"TCounter.Value", "property Value: Int64 read GetValue write SetValue;",
         R"(  TCounter = class
  private
    FValue: Int64;
    FLimit: Integer;
    step: Integer;
    function GetValue: Int64;
    procedure SetValue(AValue: Int64);
  public
    function GetSum: Integer;
    procedure Reset;
    property Value: Int64 read GetValue write SetValue;
  end;
function TCounter.GetValue: Int64;
procedure TCounter.SetValue(AValue: Int64);
function TCounter.GetSum: Integer;
procedure TCounter.Reset;
)"},
    };
    for (const TCase& c : cases) {
        Load(Shapes);
        test::TScriptedDialogEditors dialogs(PropertyAnswer(c.Declaration));
        ASSERT_TRUE(Kolva.EditMember(Find(c.Item)));
        const std::string owner = std::string(c.Item).substr(0, std::string(c.Item).find('.'));
        EXPECT_EQ(Changed(owner), c.Expected) << c.Declaration;
        EXPECT_TRUE(Compiles("Shapes")) << c.Declaration;
    }
}

TEST_F(PropertyEditorTest, DeletedPropertiesTakeTheirOwnMembersOnly) {
    Boxes.Answers = {mrOk, mrOk};
    ASSERT_TRUE(Kolva.DeleteMember(Find("TShapeList.Caption")));
    ASSERT_TRUE(Kolva.DeleteMember(Find("TShapeList.Items")));
    EXPECT_EQ(Changed("TShapeList"), R"(  TShapeList = class(TPersistent)
  private
    FItems: TList;
    function GetItems(Index: Integer): Pointer;
  public
    function ItemCount: Integer;
  end;
function TShapeList.GetItems(Index: Integer): Pointer;
function TShapeList.ItemCount: Integer;
)") << "GetItems has another type: it is kept";
    EXPECT_TRUE(Compiles("Shapes"));

    Load(Shapes);
    Kolva.SetDesignerRestrictions({drDeleteComponent});
    try {
        Kolva.DeleteProperty(Property("TMainForm.Button"));
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Deleting Components is blocked");
    }
    EXPECT_EQ(Text(), Original);
}

TEST_F(PropertyEditorTest, RenamedPropertiesRenameTheirAccessMembers) {
    // The references to the renamed members are not the rename's (GetSum keeps Value).
    Kolva.RenameMember(Find("TCounter.Value"), "Total");
    EXPECT_EQ(Changed("TCounter"), R"(  TCounter = class
  private
    FTotal: Integer;
    FLimit: Integer;
    step: Integer;
    function GetTotal: Integer;
    procedure SetTotal(AValue: Integer);
  public
    function GetSum: Integer;
    procedure Reset;
    property Total: Integer read GetTotal write SetTotal;
  end;
function TCounter.GetTotal: Integer;
procedure TCounter.SetTotal(AValue: Integer);
function TCounter.GetSum: Integer;
procedure TCounter.Reset;
)");
    ExpectUndoRestores();
}

TEST_F(PropertyEditorTest, ConversionsKeepWhatThePropertyUses) {
    const std::string before = R"(  TCounter = class
  private
    FValue: Integer;
    FLimit: Integer;
    step: Integer;
    function GetValue: Integer;
    procedure SetValue(AValue: Integer);
  public
    function GetSum: Integer;
    procedure Reset;
    property Value: Integer read GetValue write SetValue;
  end;
function TCounter.GetValue: Integer;
procedure TCounter.SetValue(AValue: Integer);
function TCounter.GetSum: Integer;
procedure TCounter.Reset;
)";
    const std::string valueProperty = "    property Value: Integer read GetValue write SetValue;\n";
    const struct {
        const char* Item;
        TCodeItemKind Target;
        TModalResult Answer;
        test::TReplacements Changes;
        const char* Question;
    } cases[] = {
        {"TCounter.FLimit",
         ckProperty,
         mrNone,
         {{valueProperty,
           valueProperty + "    property Limit: Integer read FLimit write FLimit;\n"}},
         ""},
        {"TCounter.step",
         ckProperty,
         mrNone,
         {{"    step:", "    Fstep:"},
          {valueProperty, valueProperty + "    property step: Integer read Fstep write Fstep;\n"}},
         ""},
        {"TCounter.GetSum",
         ckProperty,
         mrNone,
         {{"  public\n    function GetSum: Integer;\n",
           "    function GetSum: Integer;\n  public\n"},
          {valueProperty, valueProperty + "    property Sum: Integer read GetSum;\n"}},
         ""},
        {"TCounter.Value",
         ckField,
         mrYes,
         {{"    FValue:", "    Value:"},
          {"    function GetValue: Integer;\n    procedure SetValue(AValue: Integer);\n", ""},
          {valueProperty, ""},
          {"function TCounter.GetValue: Integer;\nprocedure TCounter.SetValue(AValue: Integer);\n",
           ""}},
         "Delete property's read/write access methods?\n"},
        {"TCounter.Value",
         ckMethod,
         mrNo,
         {{"    function GetValue: Integer;\n", ""},
          {valueProperty, "    function Value: Integer;\n"},
          {"function TCounter.GetValue:", "function TCounter.Value:"}},
         "Delete property's write access method/ and or state field?\n"},
    };
    for (const auto& c : cases) {
        Load(Shapes);
        Boxes.Texts.clear();
        Boxes.Answers = {c.Answer};
        Kolva.ConvertMember(static_cast<TClassItem&>(Find("TCounter")), Find(c.Item), c.Target);
        EXPECT_EQ(Changed("TCounter") + (Boxes.Texts.empty() ? "" : Boxes.Texts[0] + "\n"),
                  test::Replaced(before, c.Changes) + c.Question)
            << c.Item;
        EXPECT_TRUE(Compiles("Shapes")) << c.Item;
    }
    try {
        Kolva.ConvertMember(static_cast<TClassItem&>(Find("TCounter")), Find("TCounter.Reset"),
                            ckProperty);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Only function type methods can be converted to properties");
    }
}

} // namespace
} // namespace kolva
