// The registry layout of the whole system and the product's registry functions: the product
// key, the install folder, the add-in library and its version text, the IDE's expert
// registration, and loading and saving every user setting.
//
// Current user, below KolvaRegKey(1) = "Software\Fernwright\Kolva\1.0":
//   "\Options"          one string per option (settings/KOLVAOpts.h)
//   "\FormStore"        window states, one subkey per window
//   "\Code Generation"  one string per property of the module editor's options
//   "\Preferences"      one string per property of the code generation preferences
// Local machine, KolvaRegKey(1): "InstallDir", the installation folder (the installer
// writes it). Current user, "Software\Borland\Delphi\5.0\Experts": "KolvaExpert", the full
// path of the add-in library, which the IDE loads. Local machine,
// "Software\Fernwright\Shared\Templates": "RegKey" and "RootDir" of the shared template list.
#pragma once

#include <string>

namespace kolva {

/// The product uses version 1 of its key.
constexpr int KolvaKeyVersion = 1;
/// The subkeys of the product key that hold the user's settings, in the order in which
/// they are loaded and saved.
constexpr const char* OptionsSubKey = "\\Options";
constexpr const char* FormStoreSubKey = "\\FormStore";
constexpr const char* CodeGenerationSubKey = "\\Code Generation";
constexpr const char* PreferencesSubKey = "\\Preferences";
constexpr const char* InstallDirValue = "InstallDir";
constexpr const char* ExpertValue = "KolvaExpert";
constexpr const char* SharedTemplatesKey = "Software\\Fernwright\\Shared\\Templates";
constexpr const char* KolvaDllName = "KolvaD5.dll";

/// "Software\Fernwright\Kolva\<Version>.0".
std::string KolvaRegKey(int Version);
/// The modelling tool's key: "Software\Tovr\Fernwright\5.0" for version 5, otherwise
/// "Software\Fernwright\Fernwright\<Version>.0".
std::string FWRegKey(int Version);
/// "Software\Borland\Delphi\<DelphiVersion>.0\Experts", the IDE's list of add-ins.
std::string ExpertsRegKey(int DelphiVersion);
/// The "InstallDir" string of the local-machine product key; "" when absent.
std::string GetInstallDir(int Version);
/// The add-in library: in the install folder when it is there, else beside the running
/// program when it is there, else in the current folder.
std::string KolvaDllPath();
/// "Kolva1.00 build 1" from the add-in library's version block, or "Kolva - no version
/// info" when it has none.
std::string KolvaVersionText();
/// Removes the add-in from the IDE's expert list (the key is created when missing).
void UnregisterExpert(int DelphiVersion);

/// Loads the options, the window states, the code generation options and the preferences
/// from their subkeys of the current user's product key, in the layout's order; a missing
/// key or value leaves the value in place. A malformed value stops the load of its own key only:
/// the other keys are still loaded, then the first error is raised.
void LoadSettings();
/// Saves them to the same keys, in the same order, creating the keys.
void SaveSettings();

} // namespace kolva
