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
    // The lines of a class as written now.
    std::string ClassText(const std::string& Name) {
        const TCodeItem& cls = Find(Name);
        std::string text;
        for (int i = cls.StartLine; i <= cls.LastLine(); ++i)
            text += Unit.Text()[i] + "\n";
        return text;
    }

    TFakeDesigner Designer;
    TKolvaEditor Kolva;
    test::TScriptedDialogs Boxes;
};

TEST_F(KolvaEditorTest, NewMembersFindTheirSection) {
    Load(Widgets);
    TScriptedDialogEditors dialogs(Answer("FCount: Integer;"));
    ASSERT_TRUE(Kolva.AddField(Class("TCanvasItem")));
    EXPECT_EQ(ClassText("TCanvasItem"), R"(  TCanvasItem = class(TInterfacedObject, IPaintable)
  private
    FCount: Integer;
  public
    Width: Integer;
    procedure Paint;
    function Bounds: Integer;
  end;
)");
    ASSERT_TRUE(Kolva.AddField(Class("TPanel")));
    EXPECT_EQ(ClassText("TPanel"), "  TPanel = class(TComponent)\n  private\n    FCount: Integer;\n"
                                   "  end;\n");
    dialogs.Script = Answer("procedure Reset;");
    ASSERT_TRUE(Kolva.AddMethod(Class("TShort")));
    EXPECT_EQ(ClassText("TShort"), "  TShort = class(TCanvasItem)\n  public\n    procedure Reset;\n"
                                   "  end;\n");
    EXPECT_NE(Text().find("end;\n\nprocedure TShort.Reset;\nbegin\n  \nend;\n\nend.\n"),
              std::string::npos);
    EXPECT_TRUE(Compiles("Widgets"));
    ExpectUndoRestores();
}

TEST_F(KolvaEditorTest, NewMethodsAreNumberedAndGetTheirImplementation) {
    Load(Widgets);
    std::vector<std::string> names;
    TScriptedDialogEditors dialogs([&](TCodeItem& item) {
        names.push_back(item.Name);
        return true;
    });
    ASSERT_TRUE(Kolva.AddMethod(Class("TMainForm")));
    ASSERT_TRUE(Kolva.AddMethod(Class("TMainForm")));
    EXPECT_EQ(names, (std::vector<std::string>{"NewMethod", "NewMethod1"}));
    EXPECT_EQ(ClassText("TMainForm"), R"(  TMainForm = class(TComponent)
    Panel1: TPanel;
    Frame: TPanel;
    procedure Panel1Click(Sender: TObject);
  public
    procedure Refresh;
    procedure NewMethod;
    procedure NewMethod1;
  end;
)");
    EXPECT_NE(
        Text().find("procedure TMainForm.Refresh;\nbegin\nend;\n\nprocedure TMainForm.NewMethod;"
                    "\nbegin\n  \nend;\n\nprocedure TMainForm.NewMethod1;"),
        std::string::npos);
    EXPECT_TRUE(Compiles("Widgets"));
}

TEST_F(KolvaEditorTest, VisibilityChangesKeepSectionOrderAndSpareComponents) {
    Load(Widgets);
    Kolva.ChangeVisibility(&Class("TMainForm"),
                           {&Find("TMainForm.Panel1"), &Find("TMainForm.Frame")}, scPublic);
    EXPECT_EQ(Boxes.Texts.at(0), "Removed Components from selection");
    EXPECT_EQ(ClassText("TMainForm"), R"(  TMainForm = class(TComponent)
    Panel1: TPanel;
    procedure Panel1Click(Sender: TObject);
  public
    Frame: TPanel;
    procedure Refresh;
  end;
)");
    EXPECT_THROW(Kolva.ChangeVisibility(&Class("TMainForm"), {&Find("TMainForm.Panel1")}, scPublic),
                 EAbort)
        << "an emptied selection ends silently";
    try {
        Kolva.ChangeVisibility(&Class("IPaintable"), {&Find("IPaintable.Paint")}, scPublic);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Cannot change visibility in interfaces");
    }
    EXPECT_TRUE(Compiles("Widgets"));
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

TEST_F(KolvaEditorTest, EditingMethodsMovesAndRewritesBothHalves) {
    Load(Widgets);
    TScriptedDialogEditors dialogs([](TCodeItem& item) {
        auto& method = static_cast<TMethodItem&>(item);
        method.Name = "Draw";
        method.Params = "Level: Integer";
        method.Visibility = scProtected;
        return true;
    });
    ASSERT_TRUE(Kolva.EditMember(Find("TCanvasItem.Paint")));
    EXPECT_EQ(ClassText("TCanvasItem"), R"(  TCanvasItem = class(TInterfacedObject, IPaintable)
  protected
    procedure Draw(Level: Integer);
  public
    Width: Integer;
    function Bounds: Integer;
  end;
)");
    EXPECT_NE(Text().find("procedure TCanvasItem.Draw(Level: Integer);\nbegin\nend;"),
              std::string::npos);

    dialogs.Script = [](TCodeItem& item) {
        static_cast<TMethodItem&>(item).SetBinding(bkAbstract);
        return true;
    };
    ASSERT_TRUE(Kolva.EditMember(Find("TCanvasItem.Bounds")));
    EXPECT_EQ(Boxes.Texts.at(0), "Left code in non empty method");
    ASSERT_TRUE(Kolva.EditMember(Find("TCanvasItem.Draw")));
    EXPECT_EQ(Text().find("TCanvasItem.Draw"), std::string::npos) << "an empty body goes";
    ExpectUndoRestores();
}

TEST_F(KolvaEditorTest, EverySectionAndObjectTypes) {
    Load(R"(unit Sections;
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
)");
    Kolva.ChangeVisibility(&Class("TAll"), {&Find("TAll.FB")}, scPublic);
    EXPECT_EQ(ClassText("TAll"), R"(  TAll = class
  private
    FA: Integer;
  protected
    procedure Changed;
  public
    Count: Integer;
    FB: Integer;
    procedure Run;
    property A: Integer read FA;
  published
    property B: Integer read FB;
  end;
)") << "after the last public field, before the public methods";
    TScriptedDialogEditors dialogs([](TCodeItem& item) {
        item.Visibility = scPublic;
        return true;
    });
    ASSERT_TRUE(Kolva.AddField(Class("TPoint2")));
    EXPECT_EQ(ClassText("TPoint2"), "  TPoint2 = object\n    X, Y: Integer;\n    FField: Integer;\n"
                                    "  end;\n")
        << "an object's public field goes to its default section";
    try {
        Kolva.ChangeVisibility(&Class("TPoint2"), {&Find("TPoint2.X, Y")}, scProtected);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "protected visibility not allowed in object type");
    }
    Kolva.ChangeVisibility(&Class("TPoint2"), {&Find("TPoint2.FField")}, scPrivate);
    EXPECT_EQ(ClassText("TPoint2"), "  TPoint2 = object\n    X, Y: Integer;\n  private\n"
                                    "    FField: Integer;\n  end;\n");
    EXPECT_TRUE(Compiles("Sections"));
}

TEST_F(KolvaEditorTest, InterfacesAreAddedToTheHeading) {
    Load(Widgets);
    Kolva.AddInterfaceToClass(Class("TShort"), "IPaintable");
    Kolva.AddInterfaceToClass(Class("TCanvasItem"), "ipaintable");
    EXPECT_EQ(ClassText("TShort"), "  TShort = class(TCanvasItem, IPaintable)\n  end;\n");
    EXPECT_EQ(Find("TCanvasItem").GetDeclaration(),
              "TCanvasItem = class(TInterfacedObject, IPaintable)");
    EXPECT_TRUE(Compiles("Widgets"));
}

} // namespace
} // namespace kolva
