// The engine's notifiers: which events it registers for, what each does, and the repair of
// units that the IDE still reports under the name of their form text right after opening.
#include "ide/EdtSyncs.h"
#include "platform/SysUtils.h"
#include "toolsapi/ClassNames.h"

namespace kolva {

namespace {

bool IsPasFile(const std::string& FileName) {
    return FileName.size() >= 4 && SameText(FileName.substr(FileName.size() - 4), ".pas");
}

/// The names pending longer than this are given up.
constexpr int MaxPendingFiles = 20;

} // namespace

void TKOLVASyncEngine::AttachBuffer(IOTAEditBuffer& Buffer) {
    TIntf<TOTAEditorNotifier> editor(new TOTAEditorNotifier(&Buffer));
    editor->OnDestroyed = [this](TOTANotifier& Sender) {
        EditorDestroyed(static_cast<TOTAEditorNotifier&>(Sender));
    };
    editor->OnViewActivated = [this](TOTANotifier&, IOTAEditView* View) { ViewActivated(View); };
    FEditorNotifiers.push_back(editor);
    editor->Register();

    TIntf<TOTAModuleNotifier> module(new TOTAModuleNotifier(Buffer.GetModule()));
    module->OnDestroyed = [this](TOTANotifier& Sender) {
        ModuleDestroyed(static_cast<TOTAModuleNotifier&>(Sender));
    };
    module->OnModified = [this](TOTANotifier& Sender) {
        ModuleChanged(static_cast<TOTAModuleNotifier&>(Sender), syOnModify);
    };
    module->OnAfterSave = [this](TOTANotifier& Sender) {
        ModuleChanged(static_cast<TOTAModuleNotifier&>(Sender), syAfterSave);
    };
    FModuleNotifiers.push_back(module);
    module->Register();
}

void TKOLVASyncEngine::FileOpened(const std::string& FileName) {
    TIntf<IOTAModule> module = FServices.ModuleServices().FindModule(FileName);
    if (!module) return;
    if (IsPasFile(FileName) && !IsPasFile(module->GetFileName())) {
        FPendingFiles.Insert(0, FileName);
        FDFMBugTimer.SetEnabled(true);
        return;
    }
    for (int i = 0; i < module->GetModuleFileCount(); ++i) {
        TIntf<IOTAEditor> editor = module->GetModuleFileEditor(i);
        if (TIntf<IOTAEditBuffer> buffer = editor ? editor->AsEditBuffer() : nullptr)
            AttachBuffer(*buffer);
    }
    SetCurrentBuffer(FServices.EditorServices().TopBuffer());
}

void TKOLVASyncEngine::RepairPendingFiles() {
    for (int i = FPendingFiles.Count() - 1; i >= 0; --i) {
        if (i >= FPendingFiles.Count()) continue;
        const std::string name = FPendingFiles[i];
        TIntf<IOTAModule> module = FServices.ModuleServices().FindModule(name);
        if (!module) {
            FPendingFiles.Delete(i);
        } else if (IsPasFile(module->GetFileName())) {
            FPendingFiles.Delete(i);
            FileOpened(name);
        }
    }
    if (FPendingFiles.Count() > MaxPendingFiles)
        FPendingFiles.Clear();
    else if (FPendingFiles.Count() > 0)
        FDFMBugTimer.SetEnabled(true);
}

void TKOLVASyncEngine::ViewActivated(IOTAEditView* View) {
    if (!View || !IsVisible()) return;
    if (FEditWindow) {
        TIntf<IOTAEditWindow> window = View->GetEditWindow();
        if (!window || OutermostForm(window->GetForm()) != FEditWindow.data()) return;
    }
    SetCurrentBuffer(View->GetBuffer());
}

void TKOLVASyncEngine::EditorDestroyed(TOTAEditorNotifier& Notifier) {
    TIntf<TOTAEditorNotifier> keep(&Notifier);
    if (FCurrentBuffer && Notifier.Editor()) {
        TIntf<IOTAModule> module = Notifier.Editor()->GetModule();
        TIntf<IOTAModule> current = FCurrentBuffer->GetModule();
        if (Notifier.Editor().Get() == FCurrentBuffer.Get() ||
            (module && current &&
             (module == current || SameText(module->GetFileName(), current->GetFileName()))))
            SetCurrentBuffer(nullptr);
    }
    std::erase(FEditorNotifiers, keep);
    Notifier.Detach();
}

void TKOLVASyncEngine::ModuleDestroyed(TOTAModuleNotifier& Notifier) {
    TIntf<TOTAModuleNotifier> keep(&Notifier);
    std::erase(FModuleNotifiers, keep);
    Notifier.Detach();
}

void TKOLVASyncEngine::ModuleChanged(TOTAModuleNotifier& Notifier, TSyncOption Option) {
    if (!KOLVAOptions().SyncOptions().Contains(Option) || !IsVisible() || !FCurrentBuffer) return;
    TIntf<IOTAModule> current = FCurrentBuffer->GetModule();
    if (Notifier.Module() && current &&
        SameText(Notifier.Module()->GetFileName(), current->GetFileName()))
        MarkModified();
}

} // namespace kolva
