// Test support: the part of the add-in's host window that the IDE's desktop makes in a dock
// frame, forwarding the frame's events to a synchronisation engine.
#pragma once

#include "ide/EdtSyncs.h"

namespace kolva::test {

struct TEngineForm final : INTADesktopFormClass, INTADockableFormEvents {
    void AddRef() noexcept override {}
    void Release() noexcept override {}
    TIntf<INTADockableFormEvents> CreateForm(INTADockableForm* Frame) noexcept override {
        Engine->SetFrame(Frame);
        return TIntf<INTADockableFormEvents>(this);
    }
    void OnShow() noexcept override { Engine->FormShown(); }
    void OnHide() noexcept override { Engine->FormHidden(); }
    void OnEndDock() noexcept override { Engine->FormEndDock(); }
    void OnUnDock() noexcept override { Engine->FormUnDock(); }
    void OnDestroy() noexcept override { Engine->SetFrame(nullptr); }
    TKOLVASyncEngine* Engine = nullptr;
};

} // namespace kolva::test
