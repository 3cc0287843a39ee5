// The explorer in the IDE stand-in: it follows the front buffer through the synchronisation
// engine, follows typing after the delay, moves the editor to a clicked member, and edits
// the buffer (not the file) through the engine, each change undoable.
#include "explorer/ExplorerFrm.h"
#include "host/DockFrame.h"
#include "host/EditControl.h"
#include "host/EditWindow.h"
#include "host/HostIDE.h"
#include "ide/KolvaDesigner.h"
#include "support/EngineForm.h"
#include "support/ManualClock.h"
#include "support/ScriptedDialogs.h"
#include "support/SettingsReset.h"
#include "support/TempPrefix.h"

#include <fstream>
#include <QCoreApplication>
#include <QTreeWidgetItemIterator>
#include <sstream>

#include <gtest/gtest.h>

namespace kolva::test {
namespace {

std::string Contents(const std::string& Path) {
    std::ifstream File(Path, std::ios::binary);
    std::stringstream Text;
    Text << File.rdbuf();
    return Text.str();
}

std::string Sample() {
    return Contents(KOLVA_SOURCE_DIR "/samples/Orders.pas");
}

class ExplorerInHostTest : public testing::Test {
protected:
    ExplorerInHostTest() {
        UnitPath = TempPrefix() + "/src/Orders.pas";
        WriteNative(UnitPath, Sample());
        Module = IDE.OpenFile(UnitPath);
        IDE.Window().show();
        Engine = std::make_unique<TKOLVASyncEngine>(IDE);
        Explorer = std::make_unique<TFWExplorerForm>(nullptr, false, Engine->Editor(),
                                                     &Engine->Synchronizer(), &Engine->Designer());
        Engine->SetExplorer(Explorer.get());
        Form.Engine = Engine.get();
        IDE.DesktopServices().RegisterDesktopFormClass("KOLVAForm", &Form);
        IDE.DesktopServices().DockableForm("KOLVAForm")->Show();
        QCoreApplication::processEvents();
        Clock.Clock.Advance(1100);
    }
    ~ExplorerInHostTest() override {
        Form.Engine = nullptr;
        for (auto& [name, frame] : IDE.DockFrames())
            frame->SetEvents({});
        Engine->SetExplorer(nullptr);
        Explorer.reset();
        Engine.reset();
    }
    TEditControl& Control() { return *Module->Buffer()->Control(); }
    bool Shows(const char* Type) {
        for (QTreeWidgetItemIterator It(&Explorer->ContentsTree()); *It; ++It)
            if ((*It)->text(0) == Type) return true;
        return false;
    }
    void Select(const char* Type) {
        for (int I = 0; I < Explorer->Parser().ItemCount(); ++I)
            if (Explorer->Parser().Item(I)->Name == Type)
                Explorer->SelectItem(Explorer->Parser().Item(I));
    }

    TManualClockScope Clock;
    TScriptedDialogs Dialogs;
    TSettingsReset Settings;
    THostIDE IDE;
    std::string UnitPath;
    TIntf<THostModule> Module;
    TEngineForm Form;
    std::unique_ptr<TKOLVASyncEngine> Engine;
    std::unique_ptr<TFWExplorerForm> Explorer;
};

TEST_F(ExplorerInHostTest, FollowsTheFrontBufferAndTyping) {
    EXPECT_TRUE(Shows("TOrder"));
    EXPECT_TRUE(Explorer->InStep());
    Control().insertAt("  TNote = class\r\n  end;\r\n", 10, 0); // after "type"
    Clock.Clock.Advance(1500);
    EXPECT_FALSE(Shows("TNote"));
    EXPECT_FALSE(Explorer->InStep()); // the Refresh button shows the model is behind
    Clock.Clock.Advance(700);
    EXPECT_TRUE(Shows("TNote"));
    EXPECT_TRUE(Explorer->InStep());

    Select("TOrder");
    int Row = Explorer->Cache().IndexOfName("Destroy");
    Explorer->ShowMember(*Explorer->Cache().Row(Row).Item, false, false);
    int Line, Index;
    Control().getCursorPosition(&Line, &Index);
    EXPECT_EQ(Control().text(Line).trimmed().toStdString(), "for I := 0 to FLines.Count - 1 do");
}

TEST_F(ExplorerInHostTest, RenamesInTheBufferWithUndo) {
    std::string Before = Control().Bytes();
    Select("TOrderLine");
    Explorer->RenameMember(Explorer->Cache().IndexOfName("Total"), "Amount");
    std::string After = Control().Bytes();
    EXPECT_NE(After.find("    function Amount: Integer;"), std::string::npos);
    EXPECT_NE(After.find("function TOrderLine.Amount: Integer;"), std::string::npos);
    EXPECT_EQ(Explorer->Cache().Row(Explorer->Cache().IndexOfName("Amount")).Caption,
              "Amount: Integer;");
    EXPECT_EQ(Contents(UnitPath), Sample()); // the buffer changed, not the file
    while (Control().isUndoAvailable())
        Control().undo();
    EXPECT_EQ(Control().Bytes(), Before);
}

} // namespace
} // namespace kolva::test
