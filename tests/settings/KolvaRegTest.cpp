#include "settings/KolvaReg.h"

#include "editing/ModuleEditors.h"
#include "editing/Prefs.h"
#include "foundation/FileUtil.h"
#include "model/CodeItems.h"
#include "model/DataTyp.h"
#include "platform/Registry.h"
#include "settings/KOLVAOpts.h"
#include "support/SettingsReset.h"
#include "support/TempPrefix.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace kolva {
namespace {

TEST(KolvaReg, InstallFolderLibraryAndItsVersion) {
    EXPECT_EQ(GetInstallDir(1), "");
    // Nowhere to be found: named in the current folder, without version.
    const std::string fallback = KolvaDllPath();
    EXPECT_TRUE(fallback.ends_with("\\KolvaD5.dll")) << fallback;
    EXPECT_EQ(KolvaVersionText(), "Kolva - no version info");
    // Without a current folder (it was removed) the name is still expanded, not an error.
    char here[4096];
    ASSERT_TRUE(getcwd(here, sizeof here));
    const std::string gone = test::TempPrefix() + "/gone";
    ASSERT_TRUE(mkdir(gone.c_str(), 0700) == 0 && chdir(gone.c_str()) == 0);
    rmdir(gone.c_str());
    std::string path;
    EXPECT_NO_THROW(path = KolvaDllPath());
    ASSERT_EQ(chdir(here), 0);
    EXPECT_EQ(path, "Z:\\KolvaD5.dll");

    TRegistry machine(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(machine.OpenKey(KolvaRegKey(1), true));
    machine.WriteString("InstallDir", "C:\\Program Files\\Kolva");
    EXPECT_EQ(GetInstallDir(1), "C:\\Program Files\\Kolva");
    EXPECT_EQ(KolvaDllPath(), fallback); // the folder holds no library yet
    ASSERT_TRUE(ForceDirectories("C:\\Program Files\\Kolva"));
    // Any file with a version block stands in for the library.
    ASSERT_TRUE(CopyFile(KOLVA_EXE, "C:\\Program Files\\Kolva\\KolvaD5.dll"));
    EXPECT_EQ(KolvaDllPath(), "C:\\Program Files\\Kolva\\KolvaD5.dll");
    EXPECT_EQ(KolvaVersionText(), "Kolva1.00 build 1");
}

TEST(KolvaReg, UnregisterExpertRemovesOnlyItsValue) {
    TRegistry reg; // where Delphi 5 looks for its experts
    ASSERT_TRUE(reg.OpenKey("Software\\Borland\\Delphi\\5.0\\Experts", true));
    reg.WriteString("KolvaExpert", "C:\\Kolva\\KolvaD5.dll");
    reg.WriteString("Other", "x");
    UnregisterExpert(5);
    EXPECT_FALSE(reg.ValueExists("KolvaExpert"));
    EXPECT_TRUE(reg.ValueExists("Other"));
    UnregisterExpert(6); // creates the missing key, deletes nothing
    EXPECT_TRUE(reg.KeyExists("\\" + ExpertsRegKey(6)));
}

TEST(KolvaReg, SettingsGoToTheirKeysAndDriveTheCodeModel) {
    test::TSettingsReset reset;
    KOLVAOptions().SetDetailsDisplayOptions({ddShowType});
    ModuleEditorOptions().SetWrapMargin(100);
    Preferences().SetUpcaseString(true);
    SaveSettings();
    TRegistry reg;
    const std::string root = "\\" + KolvaRegKey(1);
    TStringList keys;
    ASSERT_TRUE(reg.OpenKey(root, false));
    reg.GetKeyNames(keys);
    EXPECT_EQ(keys.Text(), "Code Generation\r\nFormStore\r\nOptions\r\nPreferences\r\n");
    ASSERT_TRUE(reg.OpenKey(root + "\\Code Generation", false));
    EXPECT_EQ(reg.ReadString("WrapMargin"), "100");

    test::TSettingsReset::Reset();
    ASSERT_TRUE(ShowParameters());
    // A bad value in one key stops that key only; the others still load.
    ASSERT_TRUE(reg.OpenKey(root + "\\Options", false));
    reg.WriteString("GeneralSyncDelay", "soon");
    EXPECT_THROW(LoadSettings(), EConvertError);
    EXPECT_EQ(KOLVAOptions().DetailsDisplayOptions(), TDetailsDisplayOptions{ddShowType});
    EXPECT_FALSE(ShowParameters());
    EXPECT_EQ(ModuleEditorOptions().WrapMargin(), 100);
    EXPECT_TRUE(Preferences().UpcaseString());
    EXPECT_EQ(DataTypeName(dtString), "String");
}

} // namespace
} // namespace kolva
