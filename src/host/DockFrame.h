// The frame of an add-in's dockable form: a dock widget of the edit window that floats or
// docks into it, and that the desktop saves and restores by its name.
#pragma once

#include "toolsapi/DockForm.h"

#include <QDockWidget>

namespace kolva {

class TEditWindow;

class TDockFrame final : public QDockWidget, public INTADockableForm {
    Q_OBJECT

public:
    /// A hidden frame named Name, docked at the right of Window.
    TDockFrame(TEditWindow& Window, const std::string& Name);
    /// Tells the events object the frame goes.
    ~TDockFrame() override;

    void SetEvents(TIntf<INTADockableFormEvents> Events) { FEvents = std::move(Events); }

    // The frame lives as long as its window; references are not counted.
    void AddRef() noexcept override {}
    void Release() noexcept override {}
    std::string GetName() noexcept override;
    QWidget* GetWidget() noexcept override { return widget(); }
    QWidget* GetHostWindow() noexcept override { return window(); }
    bool IsFloating() noexcept override { return isFloating(); }
    void SetFloating(bool Value) noexcept override { setFloating(Value); }
    bool IsVisible() noexcept override { return isVisible(); }
    void Show() noexcept override;
    void Hide() noexcept override { hide(); }

private:
    TIntf<INTADockableFormEvents> FEvents;
    bool FReportedVisible = false;

    void ReportVisibility();
};

} // namespace kolva
