// Dockable forms and the IDE desktop: an add-in's window that floats or docks into an edit
// window, and that the IDE saves with its desktop and re-creates by name at the next start.
//
// The IDE owns the frame (the dockable form); the add-in fills it with its own widget and
// hears of showing, hiding and docking through its events object.
#pragma once

#include "toolsapi/Interfaces.h"

#include <string>

class QWidget;

namespace kolva {

/// The frame of a dockable form, made by the IDE.
class INTADockableForm : public IInterface {
public:
    /// The desktop section name, which is also the form's component name.
    virtual std::string GetName() noexcept = 0;
    /// The frame's client area, which has a layout: the add-in adds its content to that
    /// layout, so that the content fills the frame.
    virtual QWidget* GetWidget() noexcept = 0;
    /// The outermost window holding the frame: the edit window (class "TEditWindow") while
    /// docked there, the floating frame otherwise.
    virtual QWidget* GetHostWindow() noexcept = 0;
    virtual bool IsFloating() noexcept = 0;
    virtual void SetFloating(bool Value) noexcept = 0;
    virtual bool IsVisible() noexcept = 0;
    /// Shows the frame where it is (docked or floating).
    virtual void Show() noexcept = 0;
    virtual void Hide() noexcept = 0;
};

/// What the add-in hears about its frame. Called by the IDE; the frame passed is the one the
/// events object was given with.
class INTADockableFormEvents : public IInterface {
public:
    virtual void OnShow() noexcept = 0;
    virtual void OnHide() noexcept = 0;
    /// Docking into a window ended (the host window may have changed).
    virtual void OnEndDock() noexcept = 0;
    /// The frame left the window it was docked into and floats.
    virtual void OnUnDock() noexcept = 0;
    /// The IDE frees the frame; the add-in drops its content and references.
    virtual void OnDestroy() noexcept = 0;
};

/// Makes the add-in's form inside a frame the IDE made; used when a saved desktop names it.
/// Returns the events object for the frame (nil when the add-in declines).
class INTADesktopFormClass : public IInterface {
public:
    virtual TIntf<INTADockableFormEvents> CreateForm(INTADockableForm* Frame) noexcept = 0;
};

class INTADesktopServices : public IInterface {
public:
    /// Registers a form class by desktop name, so that a saved desktop can create it.
    /// False when the name is taken.
    virtual bool RegisterDesktopFormClass(const std::string& Name,
                                          INTADesktopFormClass* FormClass) noexcept = 0;
    virtual void UnregisterDesktopFormClass(const std::string& Name) noexcept = 0;
    /// The frame of that name, made now (through the registered class) if the desktop has not
    /// made it yet; nil for a name not registered.
    virtual TIntf<INTADockableForm> DockableForm(const std::string& Name) noexcept = 0;
    /// Brings the form's window to the front and gives it the focus.
    virtual void FocusWindow(INTADockableForm* Form) noexcept = 0;
};

} // namespace kolva
