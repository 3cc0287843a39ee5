// Add-ins listed in the experts key: one that starts, one missing, one without the entry
// point and one that refuses; the host reports each failure and keeps the one that started.
#include "host/EditWindow.h"
#include "host/HostIDE.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "settings/KolvaReg.h"
#include "support/ScriptedDialogs.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

namespace kolva::test {
namespace {

QStringList ViewMenuItems(THostIDE& IDE) {
    QStringList names;
    auto* views = IDE.NTAServices().GetMainMenu()->findChild<QMenu*>("ViewsMenu");
    for (QAction* item : views->actions())
        names << item->objectName();
    return names;
}

TEST(ExpertLoader, StartsWhatLoadsAndReportsTheRest) {
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(ExpertsRegKey(5), true));
        reg.WriteString("Good", WindowsPath(KOLVA_TEST_EXPERT_GOOD));
        reg.WriteString("Missing", "C:\\Program Files\\Nowhere\\Missing.dll");
        reg.WriteString("NoEntry", WindowsPath(KOLVA_TEST_EXPERT_NO_ENTRY));
        reg.WriteString("Refuses", WindowsPath(KOLVA_TEST_EXPERT_REFUSES));
    }
    TScriptedDialogs dialogs;
    THostIDE ide;
    ide.LoadExperts();

    EXPECT_EQ(ide.Experts().LoadedNames(), std::vector<std::string>{"Good"});
    ASSERT_EQ(ide.Experts().RegisteredExperts().size(), 1u);
    EXPECT_EQ(ide.Experts().RegisteredExperts()[0]->GetIDString(), "Kolva.TestExpert");
    EXPECT_EQ(ViewMenuItems(ide).indexOf("TestExpertItem"),
              ViewMenuItems(ide).indexOf("ViewObjInspItem") + 1);

    ASSERT_EQ(dialogs.Texts.size(), 3u);
    EXPECT_NE(dialogs.Texts[0].find("Cannot load expert Missing from "
                                    "\"C:\\Program Files\\Nowhere\\Missing.dll\""),
              std::string::npos)
        << dialogs.Texts[0];
    EXPECT_NE(dialogs.Texts[1].find("Expert NoEntry"), std::string::npos);
    EXPECT_NE(dialogs.Texts[1].find("has no entry point INITEXPERT0017"), std::string::npos);
    EXPECT_NE(dialogs.Texts[2].find("Expert Refuses"), std::string::npos);
    EXPECT_NE(dialogs.Texts[2].find("failed to initialize"), std::string::npos);

    ide.Experts().Unload();
    EXPECT_EQ(ViewMenuItems(ide).indexOf("TestExpertItem"), -1)
        << "the add-in takes out what it put in before it is unloaded";
}

TEST(ExpertLoader, NoExpertsKeyStartsNothingAndSaysNothing) {
    TScriptedDialogs dialogs;
    THostIDE ide;
    ide.LoadExperts();
    EXPECT_TRUE(ide.Experts().LoadedNames().empty());
    EXPECT_TRUE(dialogs.Texts.empty());
}

} // namespace
} // namespace kolva::test
