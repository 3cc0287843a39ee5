#include "settings/KolvaReg.h"

#include "editing/ModuleEditors.h"
#include "editing/Prefs.h"
#include "foundation/FileUtil.h"
#include "foundation/VersRes.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/SysUtils.h"
#include "settings/FormStates.h"
#include "settings/KOLVAOpts.h"

#include <exception>

namespace kolva {

std::string KolvaRegKey(int Version) {
    return "Software\\Fernwright\\Kolva\\" + Format("%d.0", Version);
}

std::string FWRegKey(int Version) {
    if (Version == 5) return "Software\\Tovr\\Fernwright\\5.0";
    return "Software\\Fernwright\\Fernwright" + Format("\\%d.0", Version);
}

std::string ExpertsRegKey(int DelphiVersion) {
    return Format("Software\\Borland\\Delphi\\%d.0\\Experts", DelphiVersion);
}

std::string GetInstallDir(int Version) {
    TRegistry reg(HKEY_LOCAL_MACHINE);
    if (!reg.OpenKeyReadOnly(KolvaRegKey(Version))) return "";
    return reg.ReadString(InstallDirValue);
}

std::string KolvaDllPath() {
    // An empty install folder would name the library at the root of the drive.
    if (const std::string dir = GetInstallDir(KolvaKeyVersion); !dir.empty()) {
        const std::string path = IncludeTrailingBackslash(dir) + KolvaDllName;
        if (FileExists(path)) return path;
    }
    if (const std::string path = ProgramFolder() + KolvaDllName; FileExists(path)) return path;
    // The path layer expands a relative name, also when the current folder is gone.
    return WindowsPath(KolvaDllName);
}

std::string KolvaVersionText() {
    try {
        TVersionRes version;
        version.SetFileName(KolvaDllPath());
        return Format("Kolva%d.%d%d build %d", version.Major, version.Minor, version.Release,
                      version.Build);
    } catch (const Exception&) {
        return "Kolva - no version info";
    }
}

void UnregisterExpert(int DelphiVersion) {
    TRegistry reg;
    if (reg.OpenKey(ExpertsRegKey(DelphiVersion), true)) reg.DeleteValue(ExpertValue);
}

// ---------------------------------------------------------------------------------------
// The user's settings

namespace {

struct TSettingsKey {
    const char* SubKey;
    void (*Load)(TRegistry& Key);
    void (*Save)(TRegistry& Key);
};

// In the order of the layout.
const TSettingsKey SettingsKeys[] = {
    {OptionsSubKey, [](TRegistry& Key) { KOLVAOptions().LoadFromRegistry(Key); },
     [](TRegistry& Key) { KOLVAOptions().SaveToRegistry(Key); }},
    {FormStoreSubKey, [](TRegistry& Key) { FormStateStore(srCreate)->LoadStates(Key); },
     [](TRegistry& Key) { FormStateStore(srCreate)->SaveStates(Key); }},
    {CodeGenerationSubKey, [](TRegistry& Key) { LoadProperties(ModuleEditorOptions(), Key); },
     [](TRegistry& Key) { SaveProperties(ModuleEditorOptions(), Key); }},
    {PreferencesSubKey, [](TRegistry& Key) { LoadProperties(Preferences(), Key); },
     [](TRegistry& Key) { SaveProperties(Preferences(), Key); }},
};

} // namespace

void LoadSettings() {
    std::exception_ptr firstError;
    for (const TSettingsKey& key : SettingsKeys) {
        if (!key.Load) continue;
        try {
            TRegistry reg;
            if (reg.OpenKeyReadOnly(KolvaRegKey(KolvaKeyVersion) + key.SubKey)) key.Load(reg);
        } catch (const Exception&) {
            if (!firstError) firstError = std::current_exception();
        }
    }
    if (firstError) std::rethrow_exception(firstError);
}

void SaveSettings() {
    for (const TSettingsKey& key : SettingsKeys) {
        if (!key.Save) continue;
        TRegistry reg;
        if (reg.OpenKey(KolvaRegKey(KolvaKeyVersion) + key.SubKey, true)) key.Save(reg);
    }
}

} // namespace kolva
