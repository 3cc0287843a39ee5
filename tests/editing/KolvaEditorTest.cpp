#include "editing/KolvaEditors.h"
#include "platform/SysUtils.h"
#include "support/EngineFixture.h"
#include "support/ScriptedDialogs.h"

#include <set>

#include <gtest/gtest.h>

namespace kolva {
namespace {

using test::Answer;
using test::TScriptedDialogEditors;

const char* const Widgets = R"(unit Widgets;

interface

uses
  Classes;

type
  IPaintable = interface
    ['{0E3A2D55-4B1C-4F7E-9D21-6B8A0C3F1E77}']
    procedure Paint;
    function Bounds: Integer;
  end;

  TPanel = class(TComponent)
  end;

  TMainForm = class(TComponent)
    Panel1: TPanel;
    Frame: TPanel;
    procedure Panel1Click(Sender: TObject);
  public
    procedure Refresh;
  end;

  TCanvasItem = class(TInterfacedObject, IPaintable)
  public
    Width: Integer;
    procedure Paint;
    function Bounds: Integer;
  end;

  TShort = class(TCanvasItem);

implementation

procedure TMainForm.Panel1Click(Sender: TObject);
begin
end;

procedure TMainForm.Refresh;
begin
end;

procedure TCanvasItem.Paint;
begin
end;

function TCanvasItem.Bounds: Integer;
begin
  Result := 0;
end;

end.
)";

// A form designer that knows TMainForm with the component Panel1 and the handler
// Panel1Click, and records what it is told.
class TFakeDesigner : public TDesignerInterface {
public:
    bool IsDesignerClass(const std::string& ClassName) override {
        return SameText(ClassName, "TMainForm");
    }
    bool IsComponent(const std::string& ClassName, const std::string& Name) override {
        return IsDesignerClass(ClassName) && SameText(Name, "Panel1");
    }
    bool IsEventHandler(const std::string& ClassName, const std::string& Name) override {
        return IsDesignerClass(ClassName) && SameText(Name, "Panel1Click");
    }
    bool RenameComponent(const std::string&, const std::string& Old,
                         const std::string& New) override {
        Told.push_back("rename " + Old + " " + New);
        return true;
    }
    bool RenameEventHandler(const std::string&, const std::string& Old,
                            const std::string& New) override {
        Told.push_back("rename handler " + Old + " " + New);
        return true;
    }
    bool DeleteComponent(const std::string&, const std::string& Name) override {
        Told.push_back("delete " + Name);
        return true;
    }
    std::vector<std::string> Told;
};

class KolvaEditorTest : public test::TEngineTest {
protected:
    // No designer restrictions unless a test sets them.
    KolvaEditorTest() : Kolva(Explorer, &Unit, &Designer) { Kolva.SetDesignerRestrictions({}); }
    TClassItem& Class(const std::string& Name) { return static_cast<TClassItem&>(Find(Name)); }

    TFakeDesigner Designer;
    TKolvaEditor Kolva;
    test::TScriptedDialogs Boxes;
};

const char* const Sections = R"(unit Sections;
interface
type
  TPoint2 = object
    X, Y: Integer;
  end;

  TAll = class
  private
    FA: Integer;
    FB: Integer;
  protected
    procedure Changed;
  public
    Count: Integer;
    procedure Run;
    property A: Integer read FA;
  published
    property B: Integer read FB;
  end;

implementation

procedure TAll.Changed;
begin
end;

procedure TAll.Run;
begin
end;

end.
)";

// Members find their section: a new field goes to a private section of its own, a method to
// the public one, a field moved to another section after its last field and before its
// methods; an object's public members stay in its default section.
TEST_F(KolvaEditorTest, MembersAndTheirSections) {
    const auto add = [this](const char* Decl, const char* Owner, bool Field) {
        return [=, this] {
            TScriptedDialogEditors dialogs(Answer(Decl));
            ASSERT_TRUE(Field ? Kolva.AddField(Class(Owner)) : Kolva.AddMethod(Class(Owner)));
        };
    };
    const auto edit = [this](const char* Member, std::function<void(TMethodItem&)> Change) {
        return [=, this] {
            TScriptedDialogEditors dialogs([&](TCodeItem& Item) {
                Change(static_cast<TMethodItem&>(Item));
                return true;
            });
            ASSERT_TRUE(Kolva.EditMember(Find(Member)));
        };
    };
    const char* const canvas = "  TCanvasItem = class(TInterfacedObject, IPaintable)\n  public\n";
    const struct {
        test::TEditCase Case;
        const char* Compile = nullptr;
    } cases[] = {
        {{Widgets,
          add("FCount: Integer;", "TCanvasItem", true),
          {{canvas, "  TCanvasItem = class(TInterfacedObject, IPaintable)\n  private\n"
                    "    FCount: Integer;\n  public\n"}}},
         "Widgets"},
        {{Widgets,
          add("FCount: Integer;", "TPanel", true),
          {{"  TPanel = class(TComponent)\n  end;",
            "  TPanel = class(TComponent)\n  private\n    FCount: Integer;\n  end;"}}},
         "Widgets"},
        {{Widgets,
          add("procedure Reset;", "TShort", false),
          {{"  TShort = class(TCanvasItem);",
            "  TShort = class(TCanvasItem)\n  public\n    procedure Reset;\n  end;"},
           {"end;\n\nend.", "end;\n\nprocedure TShort.Reset;\nbegin\n  \nend;\n\nend."}}},
         "Widgets"},
        // New methods are numbered.
        {{Widgets,
          [this] {
              std::vector<std::string> names;
              TScriptedDialogEditors dialogs([&](TCodeItem& Item) {
                  names.push_back(Item.Name);
                  return true;
              });
              ASSERT_TRUE(Kolva.AddMethod(Class("TMainForm")));
              ASSERT_TRUE(Kolva.AddMethod(Class("TMainForm")));
              EXPECT_EQ(names, (std::vector<std::string>{"NewMethod", "NewMethod1"}));
          },
          {{"    procedure Refresh;\n", "    procedure Refresh;\n    procedure NewMethod;\n"
                                        "    procedure NewMethod1;\n"},
           {"procedure TMainForm.Refresh;\nbegin\nend;\n",
            "procedure TMainForm.Refresh;\nbegin\nend;\n\nprocedure TMainForm.NewMethod;\n"
            "begin\n  \nend;\n\nprocedure TMainForm.NewMethod1;\nbegin\n  \nend;\n"}}},
         "Widgets"},
        // Components stay where the designer keeps them.
        {{Widgets,
          [this] {
              Kolva.ChangeVisibility(&Class("TMainForm"),
                                     {&Find("TMainForm.Panel1"), &Find("TMainForm.Frame")},
                                     scPublic);
              EXPECT_EQ(Boxes.Texts.at(0), "Removed Components from selection");
          },
          {{"    Frame: TPanel;\n", ""},
           {"  public\n    procedure Refresh;",
            "  public\n    Frame: TPanel;\n    procedure Refresh;"}}},
         "Widgets"},
        {{Widgets,
          [this] {
              Kolva.ChangeVisibility(&Class("TMainForm"), {&Find("TMainForm.Panel1")}, scPublic);
          },
          {},
          "Operation aborted"}},
        {{Widgets,
          [this] {
              Kolva.ChangeVisibility(&Class("IPaintable"), {&Find("IPaintable.Paint")}, scPublic);
          },
          {},
          "Cannot change visibility in interfaces"}},
        // An edited method moves to its new section and both halves are written again.
        {{Widgets,
          edit("TCanvasItem.Paint",
               [](TMethodItem& Method) {
                   Method.Name = "Draw";
                   Method.Params = "Level: Integer";
                   Method.Visibility = scProtected;
               }),
          {{canvas, "  TCanvasItem = class(TInterfacedObject, IPaintable)\n  protected\n"
                    "    procedure Draw(Level: Integer);\n  public\n"},
           {"    Width: Integer;\n    procedure Paint;\n", "    Width: Integer;\n"},
           {"procedure TCanvasItem.Paint;", "procedure TCanvasItem.Draw(Level: Integer);"}}},
         nullptr},
        // An abstract method keeps a body with code (and says so), loses an empty one.
        {{Widgets,
          [&] {
              edit("TCanvasItem.Bounds", [](TMethodItem& M) { M.SetBinding(bkAbstract); })();
              EXPECT_EQ(Boxes.Texts.at(0), "Left code in non empty method");
              edit("TCanvasItem.Paint", [](TMethodItem& M) { M.SetBinding(bkAbstract); })();
          },
          {{"    procedure Paint;\n    function Bounds: Integer;\n  end;\n\n  TShort",
            "    procedure Paint; virtual; abstract;\n    function Bounds: Integer; virtual; "
            "abstract;\n  end;\n\n  TShort"},
           {"procedure TCanvasItem.Paint;\nbegin\nend;\n\n", ""}}}},
        {{Sections,
          [this] { Kolva.ChangeVisibility(&Class("TAll"), {&Find("TAll.FB")}, scPublic); },
          {{"    FB: Integer;\n", ""},
           {"    Count: Integer;\n", "    Count: Integer;\n    FB: Integer;\n"}}},
         "Sections"},
        {{Sections,
          [this] {
              TScriptedDialogEditors dialogs([](TCodeItem& Item) {
                  Item.Visibility = scPublic;
                  return true;
              });
              ASSERT_TRUE(Kolva.AddField(Class("TPoint2")));
              Kolva.ChangeVisibility(&Class("TPoint2"), {&Find("TPoint2.FField")}, scPrivate);
          },
          {{"    X, Y: Integer;\n", "    X, Y: Integer;\n  private\n    FField: Integer;\n"}}},
         "Sections"},
        {{Sections,
          [this] {
              Kolva.ChangeVisibility(&Class("TPoint2"), {&Find("TPoint2.X, Y")}, scProtected);
          },
          {},
          "protected visibility not allowed in object type"}},
        // Interfaces join the heading once.
        {{Widgets,
          [this] {
              Kolva.AddInterfaceToClass(Class("TShort"), "IPaintable");
              Kolva.AddInterfaceToClass(Class("TCanvasItem"), "ipaintable");
          },
          {{"  TShort = class(TCanvasItem);",
            "  TShort = class(TCanvasItem, IPaintable)\n  end;"}}},
         "Widgets"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        Boxes.Texts.clear();
        Check(c.Case, c.Compile);
    }
}

TEST_F(KolvaEditorTest, DesignerOwnsComponentsAndHandlers) {
    Load(Widgets);
    Kolva.RenameMember(Find("TMainForm.Panel1"), "Panel2");
    Kolva.RenameMember(Find("TMainForm.Panel1Click"), "PanelClick");
    EXPECT_EQ(Designer.Told, (std::vector<std::string>{"rename Panel1 Panel2",
                                                       "rename handler Panel1Click PanelClick"}));
    EXPECT_EQ(Unit.UndoCount(), 0) << "the editor itself writes nothing";
    try {
        Kolva.EditMember(Find("TMainForm.Panel1"));
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Cannot edit Component Panel1\rOnly renaming is allowed.");
    }
    Boxes.Answers = {mrOk, mrOk};
    EXPECT_TRUE(Kolva.DeleteMember(Find("TMainForm.Panel1")));
    EXPECT_EQ(Designer.Told.back(), "delete Panel1");
    EXPECT_TRUE(Kolva.DeleteMember(Find("TMainForm.Panel1Click")));
    EXPECT_EQ(Boxes.Texts, (std::vector<std::string>{"Delete Component Panel1: TPanel?",
                                                     "Delete Event Handler Panel1Click?"}));
    EXPECT_EQ(Designer.Told.size(), 3u) << "deleting a handler tells the designer nothing";
    EXPECT_EQ(Text().find("Panel1Click"), std::string::npos);

    Kolva.SetDesignerRestrictions({drDeleteComponent, drEditMethod});
    EXPECT_FALSE(Kolva.ConfirmDelete(Find("TMainForm.Panel1")));
    EXPECT_EQ(Boxes.Texts.back(), "Deleting Components is blocked");
    EXPECT_THROW(Kolva.DeleteField(static_cast<TFieldItem&>(Find("TMainForm.Panel1"))), Exception);
}

TEST_F(KolvaEditorTest, ResolutionClausesAndTheirMethods) {
    Load(Widgets);
    std::string offered;
    TScriptedDialogEditors dialogs([&](TCodeItem& item) {
        if (offered.empty()) offered = item.Name;
        if (item.Kind() == ckResClause)
            static_cast<TResClauseItem&>(item).ImplementingName = "DoPaint";
        return true;
    });
    Boxes.Answers = {mrYes};
    ASSERT_TRUE(Kolva.AddResClause(Class("TCanvasItem")));
    EXPECT_EQ(offered, "IPaintable.Paint") << "the first method without a clause";
    EXPECT_EQ(Boxes.Texts.at(0), "Implementing method \"DoPaint\" not found.\rCreate it?");
    EXPECT_NE(Text().find("IPaintable)\n    procedure IPaintable.Paint = DoPaint;\n  public"),
              std::string::npos)
        << "the default section comes first";
    EXPECT_NE(Text().find("procedure DoPaint;"), std::string::npos);

    Load(Widgets);
    offered.clear();
    ASSERT_TRUE(Kolva.AddResClause(Class("TPanel")));
    EXPECT_EQ(offered, "IUnknown._AddRef");
}

} // namespace
} // namespace kolva
