// The add-in's notifier objects: each turns the IDE's callbacks into calls of assignable
// handlers, so that the window that registers them decides what an event does. A notifier
// remembers the index its registration returned and the editor or module it is attached to,
// so that it can take itself off again (see Detach).
//
// Notifiers are reference-counted: the IDE holds one reference from the add call to the
// remove, the add-in's lists hold another. An unassigned handler makes its callback do
// nothing; a detached notifier hears nothing more.
#pragma once

#include "toolsapi/ToolsAPI.h"

#include <functional>
#include <string>

namespace kolva {

class TOTANotifier;

using TOTANotifyEvent = std::function<void(TOTANotifier& Sender)>;

class TOTANotifier : public TInterfacedObject {
public:
    TOTANotifier();
    virtual void AddRef() noexcept = 0;
    virtual void Release() noexcept = 0;

    /// The index the registration returned; -1 until registered.
    int Index() const { return FIndex; }
    /// Taken from a counter that every notifier created increments.
    int SerialNo() const { return FSerialNo; }
    /// How many notifiers were created so far.
    static int CreatedCount();

    TOTANotifyEvent OnAfterSave, OnBeforeSave, OnDestroyed, OnModified;

    /// Unregisters the notifier (when it was registered and its object is still held),
    /// drops the object and every handler. Safe to call again.
    void Detach();
    /// Whether the editor or module it is attached to is still held.
    virtual bool Attached() const = 0;

protected:
    void SetIndex(int Value) { FIndex = Value; }
    void Notify(const TOTANotifyEvent& Event);
    /// Removes the registration from the object and drops the object.
    virtual void Unregister() = 0;
    virtual void ClearHandlers();

private:
    int FIndex = -1;
    int FSerialNo;
};

/// The IDE's own events: files opened and closed, compiles.
class TOTAIDENotifier final : public TOTANotifier, public IOTAIDENotifier {
public:
    explicit TOTAIDENotifier(IOTAServices& Services) : FServices(&Services) {}
    KOLVA_IMPLEMENT_REFCOUNT

    std::function<void(TOTANotifier& Sender, TOTAFileNotification Code, const std::string& FileName,
                       bool& Cancel)>
        OnFileNotification;
    std::function<void(TOTANotifier& Sender, const std::string& Project, bool& Cancel)>
        OnBeforeCompile;

    /// Adds itself to the IDE's notifiers and keeps the index.
    void Register();
    bool Attached() const override { return FServices != nullptr; }

    void AfterSave() noexcept override { Notify(OnAfterSave); }
    void BeforeSave() noexcept override { Notify(OnBeforeSave); }
    void Destroyed() noexcept override { Notify(OnDestroyed); }
    void Modified() noexcept override { Notify(OnModified); }
    void FileNotification(TOTAFileNotification NotifyCode, const std::string& FileName,
                          bool& Cancel) noexcept override;
    void BeforeCompile(const std::string& Project, bool& Cancel) noexcept override;

protected:
    void Unregister() override;
    void ClearHandlers() override;

private:
    IOTAServices* FServices;
};

/// The events of one source editor: its views activated, added and removed.
class TOTAEditorNotifier final : public TOTANotifier, public IOTAEditorNotifier {
public:
    explicit TOTAEditorNotifier(TIntf<IOTAEditBuffer> Editor) : FEditor(std::move(Editor)) {}
    KOLVA_IMPLEMENT_REFCOUNT

    std::function<void(TOTANotifier& Sender, IOTAEditView* View)> OnViewActivated;
    std::function<void(TOTANotifier& Sender, IOTAEditView* View, TOperation Operation)>
        OnViewNotification;

    /// The editor; nil once detached.
    const TIntf<IOTAEditBuffer>& Editor() const { return FEditor; }
    void Register();
    bool Attached() const override { return bool(FEditor); }

    void AfterSave() noexcept override { Notify(OnAfterSave); }
    void BeforeSave() noexcept override { Notify(OnBeforeSave); }
    void Destroyed() noexcept override { Notify(OnDestroyed); }
    void Modified() noexcept override { Notify(OnModified); }
    void ViewNotification(IOTAEditView* View, TOperation Operation) noexcept override;
    void ViewActivated(IOTAEditView* View) noexcept override;

protected:
    void Unregister() override;
    void ClearHandlers() override;

private:
    TIntf<IOTAEditBuffer> FEditor;
};

/// The events of one module: modified, saved, renamed, closed.
class TOTAModuleNotifier final : public TOTANotifier, public IOTAModuleNotifier {
public:
    explicit TOTAModuleNotifier(TIntf<IOTAModule> Module) : FModule(std::move(Module)) {}
    KOLVA_IMPLEMENT_REFCOUNT

    /// Unassigned: the IDE may overwrite.
    std::function<bool(TOTANotifier& Sender)> OnCheckOverwrite;
    std::function<void(TOTANotifier& Sender, const std::string& NewName)> OnModuleRenamed;

    /// The module; nil once detached.
    const TIntf<IOTAModule>& Module() const { return FModule; }
    void Register();
    bool Attached() const override { return bool(FModule); }

    void AfterSave() noexcept override { Notify(OnAfterSave); }
    void BeforeSave() noexcept override { Notify(OnBeforeSave); }
    void Destroyed() noexcept override { Notify(OnDestroyed); }
    void Modified() noexcept override { Notify(OnModified); }
    bool CheckOverwrite() noexcept override;
    void ModuleRenamed(const std::string& NewName) noexcept override;

protected:
    void Unregister() override;
    void ClearHandlers() override;

private:
    TIntf<IOTAModule> FModule;
};

} // namespace kolva
