// The form designer panel over a unit with its text form beside it: what it lists, and its
// renames and deletions changing form and unit together, the unit as undoable steps.
#include "host/FormPanel.h"

#include "host/EditWindow.h"
#include "host/HostIDE.h"
#include "platform/Files.h"
#include "support/FormSample.h"
#include "support/ScriptedDialogs.h"
#include "support/TempPrefix.h"

#include <QAction>
#include <QTreeWidget>
#include <regex>

#include <gtest/gtest.h>

namespace kolva::test {
namespace {

std::string Renamed(std::string Text, const char* Old, const char* New) {
    return std::regex_replace(Text, std::regex(std::string("\\b") + Old + "\\b"), New);
}

std::string Crlf(const std::string& Text) {
    return std::regex_replace(Text, std::regex("\n"), "\r\n");
}

/// The rows of the panel, one a line: indentation by depth, then both columns.
std::string Rows(QTreeWidgetItem* Item, int Depth = 0) {
    std::string rows;
    for (int i = 0; i < Item->childCount(); ++i) {
        QTreeWidgetItem* row = Item->child(i);
        rows += std::string(2 * Depth, ' ') + row->text(0).toStdString() + " " +
                row->text(1).toStdString() + "\n" + Rows(row, Depth + 1);
    }
    return rows;
}

TEST(FormPanelTest, ListsTheFormAndChangesFormAndUnitTogether) {
    TScriptedDialogs dialogs;
    THostIDE ide;
    const std::string unitPath = TempPrefix() + "/src/Main.pas";
    const std::string formPath = TempPrefix() + "/src/Main.dfm";
    WriteNative(unitPath, MainUnitPas);
    WriteNative(formPath, MainFormDfm);
    TIntf<THostModule> module = ide.OpenFile(unitPath);
    ide.Window().Action("ViewObjInspItem")->trigger();
    TFormPanel& panel = *ide.Window().FormPanel();
    ASSERT_EQ(panel.Module(), module.Get());
    EXPECT_EQ(Rows(panel.Tree()->invisibleRootItem()), "MainForm TMainForm\n"
                                                       "  TopPanel TPanel\n"
                                                       "    NameLabel TLabel\n"
                                                       "    NameEdit TEdit\n"
                                                       "      OnChange NameEditChange\n"
                                                       "      OnExit NameEditChange\n"
                                                       "  OrderList TListView\n"
                                                       "  OkButton TButton\n"
                                                       "    OnClick OkButtonClick\n"
                                                       "  CancelButton TButton\n"
                                                       "  Images TImageList\n"
                                                       "  OnCreate FormCreate\n");

    EXPECT_TRUE(panel.RenameComponent("OkButton", "AcceptButton"));
    EXPECT_TRUE(panel.DeleteComponent("Images"));
    EXPECT_TRUE(panel.RenameEventHandler("NameEditChange", "NameChanged"));
    EXPECT_FALSE(panel.RenameComponent("NameEdit", "1x")) << "an invalid name changes nothing";
    EXPECT_EQ(dialogs.Texts.size(), 1u);

    auto renamed = [](const std::string& Text) {
        return Renamed(Renamed(Text, "OkButton", "AcceptButton"), "NameEditChange", "NameChanged");
    };
    std::string unit = renamed(std::regex_replace(MainUnitPas, std::regex("    Images.*\n"), ""));
    std::string form = MainFormDfm;
    form = renamed(form.substr(0, form.find("  object Images")) + "end\n");
    TEditControl& control = *module->Buffer()->Control();
    EXPECT_EQ(control.Bytes(), Crlf(unit));
    EXPECT_EQ(ReadFileText(formPath), MainFormDfm) << "the form is written with the unit";
    module->Save();
    EXPECT_EQ(ReadFileText(unitPath), unit);
    EXPECT_EQ(ReadFileText(formPath), form);

    TIntf<IOTAFormEditor> formEditor = module->GetModuleFileEditor(1)->AsFormEditor();
    ASSERT_TRUE(formEditor);
    EXPECT_FALSE(formEditor->AsEditBuffer());
    TIntf<IOTAFormDesigner> designer = formEditor->GetFormDesigner();
    EXPECT_EQ(designer->GetRoot()->GetComponentType(), "TMainForm");
    EXPECT_TRUE(designer->MethodExists("NameChanged"));
    TIntf<IOTAComponent> label = designer->FindComponent("namelabel");
    ASSERT_TRUE(label && label->GetComponentType() == "TLabel");
    EXPECT_TRUE(label->SetName("CustomerLabel"));
    EXPECT_NE(control.Bytes().find("CustomerLabel: TLabel;"), std::string::npos);
    EXPECT_EQ(panel.Tree()->topLevelItem(0)->child(0)->child(0)->text(0), "CustomerLabel")
        << "the panel follows a change made through the tools interface";

    for (int step = 0; step < 4; ++step)
        control.undo();
    EXPECT_EQ(control.Bytes(), Crlf(MainUnitPas)) << "one undo step per operation";

    EXPECT_TRUE(panel.DeleteEventHandler("OkButtonClick"));
    EXPECT_EQ(control.Bytes().find("OkButtonClick"), std::string::npos);
}

} // namespace
} // namespace kolva::test
