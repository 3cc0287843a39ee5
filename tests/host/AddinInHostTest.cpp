// The real add-in library loaded by ide-host through the experts key: its menu item and
// actions, the explorer window following the front buffer, one window reused, and the
// settings keys (none made at load, all four written at the end, what was read kept).
// The library has its own copy of the core, so the tests see it only through the IDE's
// windows and the registry, as a user would.
#include "host/DockFrame.h"
#include "host/EditControl.h"
#include "host/EditWindow.h"
#include "host/HostIDE.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "settings/KOLVAOpts.h"
#include "settings/KolvaReg.h"
#include "support/ScriptedDialogs.h"
#include "support/SettingsReset.h"
#include "support/TempPrefix.h"

#include <cstdlib>
#include <dlfcn.h>
#include <fstream>
#include <memory>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <sstream>

#include <gtest/gtest.h>

namespace kolva::test {
namespace {

class AddinInHostTest : public testing::Test {
protected:
    void SetUp() override {
        // Kept mapped after the host unloads it: the library's objects that live as long as
        // the process (its small-object pool) would otherwise count as leaks at exit.
        static void* const kept = dlopen(KOLVA_ADDIN_DLL, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(kept, nullptr) << dlerror();
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(ExpertsRegKey(5), true));
        reg.WriteString(ExpertValue, WindowsPath(KOLVA_ADDIN_DLL));
    }
    /// Starts the host with the add-in and Orders.pas open.
    void Start() {
        std::ifstream sample(KOLVA_SOURCE_DIR "/samples/Orders.pas", std::ios::binary);
        std::stringstream text;
        text << sample.rdbuf();
        WriteNative(TempPrefix() + "/src/Orders.pas", text.str());
        IDE = std::make_unique<THostIDE>();
        IDE->LoadExperts();
        IDE->OpenFile(TempPrefix() + "/src/Orders.pas");
        IDE->Window().show();
        ASSERT_EQ(IDE->Experts().LoadedNames(), std::vector<std::string>{ExpertValue});
    }
    QAction* Action(const char* Name) {
        return IDE->NTAServices().GetActionList()->findChild<QAction*>(Name);
    }
    QStringList Items(QMenu* Menu) {
        QStringList names;
        for (QAction* item : Menu->actions())
            names << item->objectName();
        return names;
    }
    QMenu* Menu(const char* Name) { return IDE->Window().findChild<QMenu*>(Name); }
    TDockFrame* Frame() {
        auto found = IDE->DockFrames().find("KOLVAForm");
        return found == IDE->DockFrames().end() ? nullptr : found->second;
    }
    bool Shows(const char* Type) {
        auto* tree = Frame() ? Frame()->findChild<QTreeWidget*>() : nullptr;
        if (tree)
            for (QTreeWidgetItemIterator it(tree); *it; ++it)
                if ((*it)->text(0) == Type) return true;
        return false;
    }
    bool KeyExists(const char* SubKey) {
        TRegistry reg;
        return reg.KeyExists(KolvaRegKey(KolvaKeyVersion) + SubKey);
    }

    TScriptedDialogs Dialogs;
    TSettingsReset Settings;
    std::unique_ptr<THostIDE> IDE;
};

TEST_F(AddinInHostTest, MenuItemActionsAndTheExplorerWindow) {
    Start();
    QStringList view = Items(Menu("ViewsMenu"));
    EXPECT_EQ(view.indexOf("ShowKOLVAItem"), view.indexOf("ViewObjInspItem") + 1);
    QAction* item = Menu("ViewsMenu")->actions()[view.indexOf("ShowKOLVAItem")];
    EXPECT_EQ(item->text(), "Fernwright Explorer");
    for (const char* name : {"ShowKOLVAExplorerAction", "SyncKolvaExplorerAction"}) {
        ASSERT_NE(Action(name), nullptr) << name;
        EXPECT_EQ(Action(name)->property("category").toString(), "FWX");
        EXPECT_FALSE(Action(name)->icon().isNull()) << name;
    }
    Action("SyncKolvaExplorerAction")->trigger();
    EXPECT_EQ(Frame(), nullptr) << "the window is made on first use, not by locating";

    item->trigger();
    ASSERT_NE(Frame(), nullptr);
    EXPECT_TRUE(Frame()->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return Shows("TOrder"); }, 5000))
        << "the explorer shows the front buffer after the change delay";
    if (const char* folder = std::getenv("KOLVA_SCREENSHOTS")) { // the README's picture
        auto* tree = Frame()->findChild<QTreeWidget*>();
        tree->setCurrentItem(tree->findItems("TOrder", Qt::MatchExactly | Qt::MatchRecursive)[0]);
        IDE->Window().resize(1000, 640);
        QTest::qWait(100);
        IDE->Window().grab().save(QString(folder) + "/ide-host-explorer.png");
    }

    IDE->FrontModule()->Buffer()->Control()->insertAt("  TNote = class\r\n  end;\r\n", 10, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Shows("TNote"); }, 5000)) << "and follows typing";

    for (int i = 0; i < 2; ++i) { // docked twice into the same edit window
        Frame()->setFloating(true);
        QTest::qWait(50);
        Frame()->setFloating(false);
        QTest::qWait(50);
    }
    QStringList local = Items(Menu("EditorLocalMenu"));
    EXPECT_EQ(local.count("SyncKolvaExplorerActionItem"), 1);
    QAction* locate =
        Menu("EditorLocalMenu")->actions()[local.indexOf("SyncKolvaExplorerActionItem")];
    EXPECT_EQ(locate->text(), "Locate in Explorer");
    EXPECT_EQ(locate->shortcut(), QKeySequence("Shift+Ctrl+L"));

    TDockFrame* frame = Frame();
    QTreeWidget* tree = frame->findChild<QTreeWidget*>();
    frame->close();
    QTest::qWait(50);
    EXPECT_FALSE(frame->isVisible());
    Action("ShowKOLVAExplorerAction")->trigger();
    EXPECT_EQ(Frame(), frame);
    EXPECT_EQ(frame->findChild<QTreeWidget*>(), tree) << "one explorer, reused";
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return Shows("TNote"); }, 5000));

    IDE->SaveDesktop();
    IDE.reset();
    IDE = std::make_unique<THostIDE>();
    IDE->LoadExperts();
    IDE->RestoreDesktop();
    IDE->Window().show();
    ASSERT_NE(Frame(), nullptr) << "the desktop makes the window again";
    EXPECT_TRUE(QTest::qWaitFor([&] { return Shows("TOrder"); }, 5000));
    IDE.reset();
    EXPECT_TRUE(Dialogs.Texts.empty());
}

TEST_F(AddinInHostTest, SettingsKeysAreMadeAtTheEndOnlyAndKeepWhatWasRead) {
    Start();
    for (const char* key :
         {OptionsSubKey, FormStoreSubKey, CodeGenerationSubKey, PreferencesSubKey})
        EXPECT_FALSE(KeyExists(key)) << key << " made at load";
    IDE.reset();
    for (const char* key :
         {OptionsSubKey, FormStoreSubKey, CodeGenerationSubKey, PreferencesSubKey})
        EXPECT_TRUE(KeyExists(key)) << key << " not written at the end";

    KOLVAOptions().SetGeneralSyncDelay(150); // as a user's earlier session left it
    SaveSettings();
    TSettingsReset::Reset();
    Start();
    IDE.reset();
    LoadSettings();
    EXPECT_EQ(KOLVAOptions().GeneralSyncDelay(), 150)
        << "the add-in saves what it read, not its defaults";
}

} // namespace
} // namespace kolva::test
