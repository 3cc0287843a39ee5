// The expert entry: how the IDE starts an add-in library and what it hands it. The IDE reads
// the library names from "Software\Borland\Delphi\5.0\Experts" of the current user, loads
// each and calls its export INITEXPERT0017 once, on the user-interface thread.
//
// The entry is a C function: no exception may leave it (catch at the boundary and return
// false). Everything it registers is released by the IDE before the library is unloaded.
#pragma once

#include "toolsapi/DockForm.h"
#include "toolsapi/ToolsAPI.h"

#include <string>

class QWidget;

namespace kolva {

enum TExpertStyle : int { esStandard, esForm, esProject, esAddIn };
enum TExpertStateItem : int { esEnabled, esChecked };
/// A set of TExpertStateItem as bits (1 << esEnabled, 1 << esChecked).
using TExpertState = unsigned;

/// The older expert interface: an expert the IDE keeps until it shuts down.
class TIExpert : public IInterface {
public:
    virtual std::string GetName() noexcept = 0;
    virtual std::string GetAuthor() noexcept = 0;
    virtual std::string GetComment() noexcept = 0;
    virtual std::string GetPage() noexcept = 0;
    virtual TExpertStyle GetStyle() noexcept = 0;
    virtual TExpertState GetState() noexcept = 0;
    virtual std::string GetIDString() noexcept = 0;
    virtual std::string GetMenuText() noexcept = 0;
    virtual void Execute() noexcept = 0;
};

/// What the IDE hands the entry: its window and its services. The services live as long as
/// the IDE; their references may be kept for the whole life of the library.
class TIToolServices : public IInterface {
public:
    /// The IDE's main window: the parent of the add-in's top-level windows.
    virtual QWidget* GetParentHandle() noexcept = 0;
    virtual IOTAServices& Services() noexcept = 0;
    virtual IOTAModuleServices& ModuleServices() noexcept = 0;
    virtual IOTAEditorServices& EditorServices() noexcept = 0;
    virtual IOTAWizardServices& WizardServices() noexcept = 0;
    virtual INTAServices& NTAServices() noexcept = 0;
    virtual INTADesktopServices& DesktopServices() noexcept = 0;
};

/// Hands an expert to the IDE, which takes a reference; false when it refuses the expert.
using TExpertRegisterProc = bool (*)(TIExpert* Expert);
/// Called by the IDE before it unloads the library, after releasing its experts.
using TExpertTerminateProc = void (*)();

/// The name the IDE looks the entry up by.
inline constexpr const char* ExpertEntryPointName = "INITEXPERT0017";

/// The entry's type. Terminate comes in empty; the library may set it.
using TExpertInitProc = bool (*)(TIToolServices* ToolServices, TExpertRegisterProc RegisterProc,
                                 TExpertTerminateProc* Terminate);

} // namespace kolva
