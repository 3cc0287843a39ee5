// The settings command: the stored options as text, set and checked as the options dialog
// checks them, and read back at the start of every command.
#include "platform/Files.h"
#include "platform/Registry.h"
#include "support/RunKolva.h"
#include "support/TempPrefix.h"

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

namespace kolva {
namespace {

using test::RunKolva;
using test::TRun;

std::string UserHive() {
    const std::string path = test::TempPrefix() + "/user.reg";
    return FileExists(path) ? ReadFileText(path) : "";
}

TEST(SettingsCommand, ListsEverySettingByGroup) {
    const TRun run = RunKolva("settings list");
    EXPECT_EQ(run.Status, 0);
    for (const char* line :
         {"Options.ContentsDisplayMode=dmHierarchy\n", "Options.SourceModules=pas;dpr;dpk;inc\n",
          "CodeGeneration.WrapMargin=80\n", "Preferences.IntfCallConvention=ccStdCall\n"})
        EXPECT_NE(run.Output.find(line), std::string::npos) << line;
    EXPECT_EQ(std::count(run.Output.begin(), run.Output.end(), '\n'), 13 + 3 + 15);
    EXPECT_EQ(RunKolva("settings").Output, run.Output);
    EXPECT_EQ(UserHive(), ""); // reading writes nothing
}

TEST(SettingsCommand, SetStoresTheValueAsTheObjectTookIt) {
    struct TCase {
        const char* Set;
        const char* Printed;
        const char* Stored; // as the registry holds it
    };
    const TCase cases[] = {
        {"codegeneration.wrapmargin 20", "CodeGeneration.WrapMargin=40\n", "\"WrapMargin\"=\"40\""},
        {"UpcaseString TRUE", "Preferences.UpcaseString=True\n", "\"UpcaseString\"=\"True\""},
        {"SyncOptions '[syOnModify,syManual]'", "Options.SyncOptions=[syManual,syOnModify]\n",
         "\"SyncOptions\"=\"[syManual,syOnModify]\""},
    };
    for (const TCase& c : cases) {
        const TRun run = RunKolva(std::string("settings set ") + c.Set);
        EXPECT_EQ(run.Status, 0) << c.Set;
        EXPECT_EQ(run.Output, c.Printed);
        EXPECT_NE(UserHive().find(c.Stored), std::string::npos) << c.Stored;
    }
    EXPECT_EQ(RunKolva("settings get WrapMargin").Output, "40\n");
}

TEST(SettingsCommand, BadValuesAreRefusedAndNothingIsWritten) {
    const std::pair<const char*, const char*> cases[] = {
        // arguments, message
        {"set GeneralSyncDelay 12x",
         "Options.GeneralSyncDelay: '12x' is not a valid integer value\n"},
        {"set ContentsDisplayMode dmTree",
         "Options.ContentsDisplayMode: \"dmTree\" is not one of dmCode, dmSorted, dmHierarchy\n"},
        {"set SyncOptions '[syManual, syOnModify]'",
         "Options.SyncOptions: \" syOnModify\" is not one of syManual, syAfterSave, syOnModify\n"},
        {"set SyncOptions syManual",
         "Options.SyncOptions: a set is written as [name,name,...], not \"syManual\"\n"},
        // The options dialog's prefix checks, in its order.
        {"set StateFieldPrefix 'my prefix'", "my prefix is not a valid prefix\n"},
        {"set ReadMethodPrefix ''", " is not a valid prefix\n"},
        {"set WriteMethodPrefix 1F", "1F is not a valid prefix\n"},
        {"set ReadMethodPrefix set", "Prefixes must have unique values (set)\n"},
        {"set WriteMethodPrefix f", "Prefixes must have unique values (F)\n"},
        {"get Colour", "Unknown setting \"Colour\"\n"},
        {"get Options.ReadMethodPrefix",
         "Unknown setting \"Options.ReadMethodPrefix\"; did you mean "
         "\"Preferences.ReadMethodPrefix\"?\n"},
        {"get WrapMargn", "Unknown setting \"WrapMargn\"; did you mean \"WrapMargin\"?\n"},
    };
    for (const auto& [args, message] : cases) {
        const TRun run = RunKolva(std::string("settings ") + args + " 2>&1");
        EXPECT_EQ(run.Status, 1) << args;
        EXPECT_EQ(run.Output, std::string("kolva: ") + message);
    }
    EXPECT_EQ(UserHive(), "");
    EXPECT_EQ(RunKolva("settings set WrapMargin 2>/dev/null").Status, 2);
    EXPECT_EQ(RunKolva("settings drop 2>/dev/null").Status, 2);
}

TEST(SettingsCommand, StoredSettingsAreReadAtStartAndDamageIsReported) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Fernwright\\Kolva\\1.0\\Preferences", true));
    reg.WriteString("StateFieldPrefix", "m_");
    ASSERT_TRUE(reg.OpenKey("\\Software\\Fernwright\\Kolva\\1.0\\Options", true));
    reg.WriteString("ModifiedSyncDelay", "later");
    const TRun run = RunKolva("settings get StateFieldPrefix 2>&1");
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Output, "kolva: settings: 'later' is not a valid integer value\nm_\n");
}

} // namespace
} // namespace kolva
