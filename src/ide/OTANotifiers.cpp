// No exception may reach the IDE from a callback: what a handler raises is shown as the IDE
// shows its own errors, and the silent abort shows nothing.
#include "ide/OTANotifiers.h"

#include "platform/Dialogs.h"
#include "platform/SysUtils.h"

#include <utility>

namespace kolva {

namespace {

int NotifierCount = 0;

// The handler is called through a copy: it may detach the notifier, which clears the handler
// while it runs.
template <class H, class... A>
void Guarded(const H& Handler, A&&... Args) noexcept {
    if (!Handler) return;
    try {
        H handler = Handler;
        handler(std::forward<A>(Args)...);
    } catch (const EAbort&) {
    } catch (const std::exception& E) {
        try {
            ShowError(E.what());
        } catch (...) {
        }
    } catch (...) {
    }
}

} // namespace

TOTANotifier::TOTANotifier() : FSerialNo(++NotifierCount) {}

int TOTANotifier::CreatedCount() {
    return NotifierCount;
}

void TOTANotifier::Notify(const TOTANotifyEvent& Event) {
    Guarded(Event, *this);
}

void TOTANotifier::Detach() {
    if (Attached()) Unregister();
    ClearHandlers();
}

void TOTANotifier::ClearHandlers() {
    OnAfterSave = OnBeforeSave = OnDestroyed = OnModified = nullptr;
}

// ---- IDE notifier -------------------------------------------------------------------------

void TOTAIDENotifier::Register() {
    if (FServices) SetIndex(FServices->AddNotifier(this));
}

void TOTAIDENotifier::Unregister() {
    IOTAServices* services = FServices;
    FServices = nullptr;
    if (Index() >= 0) services->RemoveNotifier(Index());
}

void TOTAIDENotifier::ClearHandlers() {
    TOTANotifier::ClearHandlers();
    OnFileNotification = nullptr;
    OnBeforeCompile = nullptr;
}

void TOTAIDENotifier::FileNotification(TOTAFileNotification NotifyCode, const std::string& FileName,
                                       bool& Cancel) noexcept {
    Guarded(OnFileNotification, *this, NotifyCode, FileName, Cancel);
}

void TOTAIDENotifier::BeforeCompile(const std::string& Project, bool& Cancel) noexcept {
    Guarded(OnBeforeCompile, *this, Project, Cancel);
}

// ---- Editor notifier ----------------------------------------------------------------------

void TOTAEditorNotifier::Register() {
    if (FEditor) SetIndex(FEditor->AddNotifier(this));
}

// The reference goes before the remove: the IDE may drop its own reference to this notifier
// in the remove, and this object must not be the last holder of the editor then.
void TOTAEditorNotifier::Unregister() {
    TIntf<IOTAEditBuffer> editor = std::move(FEditor);
    if (Index() >= 0) editor->RemoveNotifier(Index());
}

void TOTAEditorNotifier::ClearHandlers() {
    TOTANotifier::ClearHandlers();
    OnViewActivated = nullptr;
    OnViewNotification = nullptr;
}

void TOTAEditorNotifier::ViewNotification(IOTAEditView* View, TOperation Operation) noexcept {
    Guarded(OnViewNotification, *this, View, Operation);
}

void TOTAEditorNotifier::ViewActivated(IOTAEditView* View) noexcept {
    Guarded(OnViewActivated, *this, View);
}

// ---- Module notifier ----------------------------------------------------------------------

void TOTAModuleNotifier::Register() {
    if (FModule) SetIndex(FModule->AddNotifier(this));
}

void TOTAModuleNotifier::Unregister() {
    TIntf<IOTAModule> module = std::move(FModule);
    if (Index() >= 0) module->RemoveNotifier(Index());
}

void TOTAModuleNotifier::ClearHandlers() {
    TOTANotifier::ClearHandlers();
    OnCheckOverwrite = nullptr;
    OnModuleRenamed = nullptr;
}

bool TOTAModuleNotifier::CheckOverwrite() noexcept {
    bool result = true;
    if (OnCheckOverwrite) Guarded(std::function<void()>([&] { result = OnCheckOverwrite(*this); }));
    return result;
}

void TOTAModuleNotifier::ModuleRenamed(const std::string& NewName) noexcept {
    Guarded(OnModuleRenamed, *this, NewName);
}

} // namespace kolva
