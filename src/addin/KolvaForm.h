// The explorer's host window: a dockable desktop form that floats or docks into an edit
// window and is saved and restored with the IDE's desktop. The IDE makes the frame; the form
// fills it with the explorer and passes showing, hiding and docking on to the
// synchronisation engine, which keeps the explorer on the front buffer.
#pragma once

#include "ide/EdtSyncs.h"
#include "toolsapi/DockForm.h"
#include "toolsapi/ExptIntf.h"

#include <memory>
#include <string>

namespace kolva {

class TFWExplorerForm;

/// A dockable desktop form inside a frame of the IDE. Its component name is the frame's
/// desktop section name; the IDE's desktop saves and restores where it stands.
class TIDEDockableForm : public TInterfacedObject, public INTADockableFormEvents {
public:
    /// EXPECTS: Frame lives until OnDestroy.
    explicit TIDEDockableForm(INTADockableForm& Frame);
    KOLVA_IMPLEMENT_REFCOUNT

    const std::string& Name() const { return FName; }
    /// The frame; null once the IDE has freed it.
    INTADockableForm* Frame() const { return FFrame; }

    void OnShow() noexcept override {}
    void OnHide() noexcept override {}
    void OnEndDock() noexcept override {}
    void OnUnDock() noexcept override {}
    void OnDestroy() noexcept override { FFrame = nullptr; }

private:
    INTADockableForm* FFrame;
    std::string FName;
};

/// The desktop name of the host window.
inline constexpr const char* KOLVAFormName = "KOLVAForm";

class TKOLVAForm final : public TIDEDockableForm {
public:
    /// Makes the engine and the explorer inside Frame and becomes the instance (KOLVAForm()).
    TKOLVAForm(INTADockableForm& Frame, TIToolServices& Services);
    /// Clears the instance.
    ~TKOLVAForm() override;

    TKOLVASyncEngine& Engine() const { return *FEngine; }
    /// Null once the frame has been freed.
    TFWExplorerForm* Explorer() const { return FExplorer; }
    /// Shows the window: a docked one is made visible and its window focused, a floating
    /// one shown where it is.
    void ShowForm();

    void OnShow() noexcept override;
    void OnHide() noexcept override;
    void OnEndDock() noexcept override;
    void OnUnDock() noexcept override;
    /// Frees the explorer and the engine while the IDE's objects they use still exist.
    void OnDestroy() noexcept override;

private:
    TIToolServices& FServices;
    std::unique_ptr<TKOLVASyncEngine> FEngine;
    TFWExplorerForm* FExplorer = nullptr;
};

/// The one host window; null until it is first needed and after the IDE freed it.
TKOLVAForm* KOLVAForm();

/// Registers the host window's class with the IDE's desktop as "KOLVAForm", so a saved
/// desktop can make it; false when the name is taken.
bool RegisterKOLVAForm(TIToolServices& Services);
void UnregisterKOLVAForm(TIToolServices& Services);

} // namespace kolva
