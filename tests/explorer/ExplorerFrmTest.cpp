// The explorer window over a unit held in memory: the contents tree in its three orders,
// the member list under the filter panel, and the state it keeps across re-parses.
#include "explorer/ExplorerFrm.h"

#include "editing/MemoryEditor.h"
#include "settings/PrjStore.h"
#include "support/ScriptedDialogs.h"
#include "support/SettingsReset.h"

#include <cstdlib>
#include <fstream>
#include <QCoreApplication>
#include <QMenu>
#include <QTreeWidgetItemIterator>
#include <sstream>

#include <gtest/gtest.h>

namespace kolva {
namespace {

class ExplorerFrmTest : public testing::Test {
protected:
    test::TSettingsReset Settings;
    test::TScriptedDialogs Dialogs;
    TMemoryEditor Editor{"Z:\\work\\Shapes.pas"};
    // The module views are kept for the whole run, as in the IDE; each test starts without.
    int ForgetViews = (ModuleStore().Modules.FreeAll(), 0);
    TFWExplorerForm Form{nullptr, false, Editor, &Editor};

    void Show(const std::string& Source) {
        Editor.Text().SetText(Source);
        Form.Synchronize();
    }
    // The tree as "name" lines, two blanks a level.
    std::string Tree() {
        std::string Text;
        for (QTreeWidgetItemIterator It(&Form.ContentsTree()); *It; ++It) {
            int Depth = 0;
            for (auto* Up = (*It)->parent(); Up; Up = Up->parent())
                ++Depth;
            Text += std::string(2 * Depth, ' ') + (*It)->text(0).toStdString() + "\n";
        }
        return Text;
    }
    std::string Rows() {
        std::string Text;
        for (int I = 0; I < Form.Cache().Count(); ++I)
            Text += Form.Cache().Row(I).Caption + "\n";
        return Text;
    }
};

const char* const Hierarchy = R"(unit Shapes;
interface
type
  TShape = class
    procedure Draw; virtual;
  end;
  TRound = class(TShape)
    FRadius: Integer;
  end;
  TCircle = class(TRound)
  end;
  TBox = class(TShape)
  end;
  IDrawable = interface
  end;
implementation
procedure TShape.Draw; begin end;
end.
)";

TEST_F(ExplorerFrmTest, TheTreeFollowsTheContentsOrder) {
    struct {
        TContentsDisplayMode Mode;
        const char* Tree;
    } Orders[] = {
        {dmCode, "TShape\nTRound\nTCircle\nTBox\nIDrawable\nModule\n"},
        {dmSorted, "IDrawable\nTBox\nTCircle\nTRound\nTShape\nModule\n"},
        {dmHierarchy, "IDrawable\nTShape\n  TBox\n  TRound\n    TCircle\nModule\n"},
    };
    Show(Hierarchy);
    for (auto& Order : Orders) {
        KOLVAOptions().SetContentsDisplayMode(Order.Mode);
        EXPECT_EQ(Tree(), Order.Tree);
    }
    EXPECT_TRUE(Dialogs.Texts.empty());
}

TEST_F(ExplorerFrmTest, AncestorCycleIsReportedAndLeftOut) {
    KOLVAOptions().SetContentsDisplayMode(dmHierarchy);
    Show("unit A;\ninterface\ntype\n  TA = class(TB)\n  end;\n  TB = class(TA)\n  end;\n"
         "  TC = class\n  end;\nimplementation\nend.\n");
    EXPECT_EQ(Tree(), "TC\nModule\n");
    ASSERT_EQ(Dialogs.Texts.size(), 1u);
    EXPECT_EQ(Dialogs.Texts[0], "Could not display all classes in unit due to recursion in "
                                "inheritance relations.\rUse Order by Name or Code to display "
                                "all classes.");
}

TEST_F(ExplorerFrmTest, AUnitWithoutTypesShowsOnlyTheModule) {
    Show("unit Empty;\ninterface\nprocedure Go;\nimplementation\nprocedure Go; begin end;\nend.\n");
    EXPECT_EQ(Tree(), "Module\n");
    Editor.Text().Clear();
    Form.Synchronize();
    EXPECT_EQ(Tree(), "Module\n"); // still a file: an empty text parses to an empty module
}

TEST_F(ExplorerFrmTest, SelectionAndFiltersSurviveAReparse) {
    KOLVAOptions().SetContentsDisplayMode(dmCode);
    Show(Hierarchy);
    Form.SelectItem(Form.Parser().Item(1)); // TRound
    EXPECT_EQ(Form.ShownKind(), ckClass);
    EXPECT_EQ(Rows(), "FRadius: Integer;\n");

    SetFilterButtonsCtrlExclusive(false);
    Form.KindButton(ckMethod).Click(false); // methods only
    EXPECT_EQ(Rows(), "");
    Editor.Text().Insert(8, "    procedure Roll;");
    Form.Synchronize();
    EXPECT_EQ(Form.SelectedItem()->Name, "TRound");
    EXPECT_EQ(Rows(), "Roll;\n");

    Form.ResetFilter();
    EXPECT_EQ(Rows(), "FRadius: Integer;\nRoll;\n");
    Form.AllMembersButton().click();
    EXPECT_EQ(Rows(), "");
    Form.AllMembersButton().click();
    EXPECT_EQ(Form.MemberFilter(), (TCodeItems{ckField, ckMethod, ckProperty, ckResClause}));
}

TEST_F(ExplorerFrmTest, SwitchingUnitsBringsEachBackAsItWas) {
    KOLVAOptions().SetContentsDisplayMode(dmHierarchy);
    Form.resize(300, 600);
    Show(Hierarchy);
    Form.SelectItem(Form.Parser().Item(0));                            // TShape
    Form.ContentsTree().topLevelItem(1)->child(1)->setExpanded(false); // TRound
    Form.SetVisibilityFilter({scDefault, scPublic});
    Form.SetShowLocalProcs(false);
    Form.SetSplit(120);
    Form.FocusMember(0);
    auto State = [&] {
        return Form.SelectedItem()->Name + " " + std::to_string(Form.VisibilityFilter().Bits()) +
               (Form.ShowLocalProcs() ? " locals " : " no-locals ") + std::to_string(Form.Split()) +
               " " + (Form.FocusedMember() ? Form.FocusedMember()->Name : "-") +
               (Form.ContentsTree().topLevelItem(1)->child(1)->isExpanded() ? " open" : " shut");
    };
    std::string InA = State();
    EXPECT_EQ(InA, "TShape 9 no-locals 120 Draw shut");

    Editor.SetFileName("Z:\\work\\Other.pas");
    Show("unit Other;\ninterface\ntype\n  TOther = class\n  end;\nimplementation\nend.\n");
    Form.ResetFilter();
    Form.SetSplit(200);
    Editor.SetFileName("Z:\\WORK\\shapes.PAS"); // the same file, named in other letters
    Show(Hierarchy);
    EXPECT_EQ(State(), InA);
}

TEST_F(ExplorerFrmTest, TheWindowStateOutlivesTheWindow) {
    {
        TFWExplorerForm First(nullptr, false, Editor, &Editor);
        First.SetMemberFilter({ckMethod});
        First.SetShowLocalProcs(false);
    }
    TFWExplorerForm Second(nullptr, false, Editor, &Editor);
    EXPECT_EQ(Second.MemberFilter(), TCodeItems{ckMethod});
    EXPECT_FALSE(Second.ShowLocalProcs());
}

const char* const Nav = R"(unit Nav;
interface
type
  TNav = class
  private
    FCount: Integer;
  public
    procedure Step;
  end;
implementation
procedure TNav.Step;
  procedure Inner;
  begin
  end;
begin
  Inner;
end;
end.
)";

TEST_F(ExplorerFrmTest, NavigatesBetweenRowsAndTheEditor) {
    Editor.OnEditEnd = [this] { Form.Synchronize(); };
    Show(Nav);
    Form.SelectItem(Form.Parser().Item(0));
    auto Member = [&](const char* Name) {
        return Form.Cache().Row(Form.Cache().IndexOfName(Name)).Item;
    };
    auto Shown = [&] {
        return std::to_string(Editor.TopLine) + ":" + std::to_string(Editor.CursorLine);
    };
    Form.ShowMember(*Member("Step"), false, false);
    EXPECT_EQ(Shown(), "10:15"); // the line after "begin" of the implementation
    Form.ShowMember(*Member("Step"), true, false);
    EXPECT_EQ(Shown(), "7:7");
    Form.ShowMember(*Member("FCount"), false, false);
    EXPECT_EQ(Shown(), "5:5");

    // The cursor in a local procedure of a method, with methods filtered out.
    Form.SetMemberFilter({ckField});
    Form.SetVisibilityFilter({scPrivate});
    Editor.CursorLine = 12;
    Form.LocateEditorPos();
    EXPECT_EQ(Form.SelectedItem()->Name, "TNav");
    ASSERT_NE(Form.FocusedMember(), nullptr);
    EXPECT_EQ(Form.FocusedMember()->Name, "Step");
    EXPECT_EQ(Form.VisibilityFilter().Bits(), 63u);

    Editor.CursorLine = 0;
    Form.LocateEditorPos();
    EXPECT_EQ(Form.SelectedItem()->Kind(), ckModule);

    Form.SelectItem(Form.Parser().Item(0));
    Form.DetailsList().keyboardSearch("in"); // type-ahead, case ignored
    ASSERT_NE(Form.FocusedMember(), nullptr);
    EXPECT_EQ(Form.FocusedMember()->Name, "Inner");
}

TEST_F(ExplorerFrmTest, RenamesRowsInPlaceThroughTheEngine) {
    Editor.OnEditEnd = [this] { Form.Synchronize(); };
    Show(Nav);
    Form.SelectItem(Form.Parser().Item(0));
    Form.RenameMember(Form.Cache().IndexOfName("FCount"), "  FTotal ");
    EXPECT_EQ(Editor.Text()[5], "    FTotal: Integer;");
    EXPECT_EQ(Editor.UndoCount(), 2); // one line out, one line in

    QAbstractItemModel& Rows = *Form.DetailsList().model();
    Rows.setData(Rows.index(Form.Cache().IndexOfName("Step"), 0), "Walk", Qt::EditRole);
    EXPECT_EQ(Editor.Text()[7], "    procedure Step;"); // not while the editor closes
    QCoreApplication::processEvents();
    EXPECT_EQ(Editor.Text()[7], "    procedure Walk;");
    EXPECT_EQ(Editor.Text()[10], "procedure TNav.Walk;");

    Form.RenameMember(Form.Cache().IndexOfName("Walk"), "FTotal");
    ASSERT_EQ(Dialogs.Texts.size(), 1u) << Editor.Text().Text();
    EXPECT_EQ(Dialogs.Texts[0], "\"FTotal\" already exists");
}

QTreeWidgetItem* NodeOf(TFWExplorerForm& Form, const char* Text) {
    auto Found = Form.ContentsTree().findItems(Text, Qt::MatchExactly | Qt::MatchRecursive);
    return Found.isEmpty() ? nullptr : Found[0];
}

TEST_F(ExplorerFrmTest, DraggedMembersAreCopiedOrMovedToAnotherClass) {
    Editor.OnEditEnd = [this] { Form.Synchronize(); };
    KOLVAOptions().SetContentsDisplayMode(dmCode);
    Show("unit Drag;\ninterface\ntype\n  TA = class\n    FOne: Integer;\n"
         "    FTwo: string;\n  end;\n  TB = class\n  end;\nimplementation\nend.\n");
    Form.SelectItem(Form.Parser().Item(0));
    Form.DetailsList().selectAll();
    Form.BeginMemberDrag();
    EXPECT_EQ(Form.DragKind(), 1);
    EXPECT_EQ(Form.DropActionOn(NodeOf(Form, "TA"), {}), Qt::IgnoreAction); // its own class
    EXPECT_EQ(Form.DropActionOn(NodeOf(Form, "TB"), {}), Qt::CopyAction);
    EXPECT_EQ(Form.DropActionOn(NodeOf(Form, "TB"), Qt::ShiftModifier), Qt::MoveAction);
    EXPECT_EQ(Form.DropActionOn(NodeOf(Form, "TB"), Qt::ShiftModifier | Qt::ControlModifier),
              Qt::CopyAction);
    Form.DropOn(NodeOf(Form, "TB"), Qt::ShiftModifier);
    EXPECT_EQ(Editor.Text().Text(), "unit Drag;\r\ninterface\r\ntype\r\n  TA = class\r\n"
                                    "  end;\r\n  TB = class\r\n    FOne: Integer;\r\n"
                                    "    FTwo: string;\r\n  end;\r\nimplementation\r\nend.\r\n");
    EXPECT_EQ(Form.DragKind(), 0);
}

TEST_F(ExplorerFrmTest, ADraggedClassDropsByTheContentsOrder) {
    Editor.OnEditEnd = [this] { Form.Synchronize(); };
    KOLVAOptions().SetContentsDisplayMode(dmHierarchy);
    Show(Hierarchy);
    auto DragOnto = [&](const char* Dragged, const char* Target) {
        Form.ContentsTree().setCurrentItem(NodeOf(Form, Dragged));
        EXPECT_TRUE(Form.BeginClassDrag());
        return Form.DropActionOn(NodeOf(Form, Target), {});
    };
    EXPECT_EQ(DragOnto("TCircle", "TRound"), Qt::IgnoreAction); // its parent
    EXPECT_EQ(DragOnto("TRound", "TCircle"), Qt::IgnoreAction); // its descendant
    EXPECT_EQ(DragOnto("IDrawable", "TBox"), Qt::MoveAction);   // an interface joins a class
    EXPECT_EQ(DragOnto("TBox", "TRound"), Qt::MoveAction);
    Form.DropOn(NodeOf(Form, "TRound"), {});
    EXPECT_EQ(Editor.Text()[11], "  TBox = class(TRound)");
    EXPECT_EQ(Tree(), "IDrawable\nTShape\n  TRound\n    TBox\n    TCircle\nModule\n");
    EXPECT_EQ(Form.SelectedItem()->Name, "TBox");

    KOLVAOptions().SetContentsDisplayMode(dmSorted);
    EXPECT_EQ(DragOnto("TBox", "TShape"), Qt::IgnoreAction); // by name only interfaces
    EXPECT_EQ(DragOnto("IDrawable", "TBox"), Qt::MoveAction);
}

TEST_F(ExplorerFrmTest, RenamesClassNodesOnceTheEditIsOver) {
    TDesignerInterface NoFormFile; // a designer that knows form classes by their names only
    TFWExplorerForm Designed(nullptr, false, Editor, &Editor, &NoFormFile);
    Editor.OnEditEnd = [&] { Designed.Synchronize(); };
    Editor.Text().SetText("unit Main;\ninterface\ntype\n  TMainForm = class\n  end;\n"
                          "implementation\nend.\n");
    Designed.Synchronize();
    QTreeWidgetItem* Node = Designed.ContentsTree().topLevelItem(0);
    Designed.ContentsTree().setCurrentItem(Node);
    Designed.RenameClassNode(Node, "XMain");
    EXPECT_EQ(Editor.Text()[3], "  TMainForm = class");
    QCoreApplication::processEvents();
    EXPECT_EQ(Editor.Text()[3], "  TMain = class");
}

TEST_F(ExplorerFrmTest, SortingAndOrderMenusSetTheOptions) {
    auto Choose = [](QMenu& Menu, const char* Caption) {
        emit Menu.aboutToShow();
        QString Checked;
        for (QAction* Action : Menu.actions())
            if (Action->isChecked()) Checked = Action->text();
        for (QAction* Action : Menu.actions())
            if (Action->text() == Caption) Action->trigger();
        return Checked.toStdString();
    };
    EXPECT_EQ(Choose(Form.SortingMenu(), "Kind, Visibility"), "Code");
    EXPECT_EQ(KOLVAOptions().DetailsSortMode(), smKindVis);
    EXPECT_EQ(Choose(Form.OrderByMenu(), "Name"), "Hierarchy");
    EXPECT_EQ(KOLVAOptions().ContentsDisplayMode(), dmSorted);
    EXPECT_EQ(Choose(Form.OrderByMenu(), "Code"), "Name");
}

TEST_F(ExplorerFrmTest, WideFilterTakesOneRowOfButtons) {
    KOLVAOptions().SetWideFilter(true);
    int Wide = Form.FilterPanel().height();
    KOLVAOptions().SetWideFilter(false);
    EXPECT_EQ(Form.FilterPanel().height(), 2 * 21 + 4);
    EXPECT_EQ(Wide, 21 + 4);
}

// With KOLVA_SCREENSHOTS set to a folder, the window beside samples/Orders.pas is saved there
// for the README.
TEST_F(ExplorerFrmTest, Screenshot) {
    const char* Folder = std::getenv("KOLVA_SCREENSHOTS");
    if (!Folder) GTEST_SKIP() << "KOLVA_SCREENSHOTS not set";
    std::ifstream Sample(KOLVA_SOURCE_DIR "/samples/Orders.pas");
    std::stringstream Text;
    Text << Sample.rdbuf();
    KOLVAOptions().SetContentsDisplayMode(dmHierarchy);
    Show(Text.str());
    Form.resize(320, 560);
    Form.show();
    for (int I = 0; I < Form.Parser().ItemCount(); ++I)
        if (Form.Parser().Item(I)->Name == "TOrder") Form.SelectItem(Form.Parser().Item(I));
    Form.DetailsList().setCurrentIndex(Form.DetailsList().model()->index(5, 0));
    Form.DetailsList().setFocus();
    ASSERT_TRUE(Form.grab().save(QString(Folder) + "/explorer.png"));
}

} // namespace
} // namespace kolva
