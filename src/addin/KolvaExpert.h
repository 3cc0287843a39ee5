// The add-in's expert and wizard: what the IDE keeps of the add-in from the entry until it
// shuts down. Creating the wizard puts the add-in into the IDE (its data modules and the
// desktop registration of the host window); the IDE's release of the expert takes the
// wizard out again, and the end of the add-in frees the data modules, which saves the
// settings.
#pragma once

#include "toolsapi/ExptIntf.h"

namespace kolva {

/// The expert the IDE holds: it owns the wizard's registration.
class TExpertWrapper final : public TInterfacedObject, public TIExpert {
public:
    /// Creates the wizard and registers it with the IDE's wizard services.
    explicit TExpertWrapper(TIToolServices& Services);
    /// Unregisters the wizard unless it was refused.
    ~TExpertWrapper() override;
    KOLVA_IMPLEMENT_REFCOUNT

    int WizardIndex() const { return FWizardIndex; }

    std::string GetName() noexcept override { return WrapperID; }
    std::string GetAuthor() noexcept override { return {}; }
    std::string GetComment() noexcept override { return {}; }
    std::string GetPage() noexcept override { return {}; }
    TExpertStyle GetStyle() noexcept override { return esAddIn; }
    TExpertState GetState() noexcept override { return 0; }
    std::string GetIDString() noexcept override { return WrapperID; }
    std::string GetMenuText() noexcept override { return {}; }
    void Execute() noexcept override {}

    static constexpr const char* WrapperID = "Fernwright.Fernwright IDE Explorer wrapper";

private:
    TIToolServices& FServices;
    int FWizardIndex = -1;
};

/// The wizard: creating it makes the data modules and registers the host window's class.
class TKOLVAExpert final : public TInterfacedObject, public IOTAWizard {
public:
    explicit TKOLVAExpert(TIToolServices& Services);
    KOLVA_IMPLEMENT_REFCOUNT

    std::string GetIDString() noexcept override { return "Fernwright.Fernwright IDE Explorer"; }
    std::string GetName() noexcept override { return "Fernwright IDE Explorer"; }
    void Execute() noexcept override {}
    void AfterSave() noexcept override {}
    void BeforeSave() noexcept override {}
    void Destroyed() noexcept override {}
    void Modified() noexcept override {}
};

/// Starts the add-in inside the IDE: the IDE's services are kept, the timers of the add-in
/// tick in the IDE's event loop and its questions are asked in message boxes.
/// EXPECTS: called once, by the entry.
void StartAddin(TIToolServices& Services);
/// Ends it before the library is unloaded: frees the data modules (saving the settings),
/// takes the host window's class off the desktop, the timers off the event loop and the
/// message boxes away.
void EndAddin() noexcept;

/// The IDE's services while the add-in runs; null otherwise.
TIToolServices* ToolServices();

} // namespace kolva
