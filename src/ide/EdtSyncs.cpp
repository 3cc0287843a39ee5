// The engine keeps the IDE's objects only as interface references and looks everything else
// up when it needs it (the top buffer, a module's editors), since the user may close any of
// them between two events.
#include "ide/EdtSyncs.h"

#include "ide/KolvaDesigner.h"
#include "platform/Dialogs.h"
#include "platform/SysUtils.h"
#include "toolsapi/ClassNames.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QWidget>

namespace kolva {

namespace {

std::string ModuleFileName(IOTAEditor* Editor) {
    if (!Editor) return {};
    TIntf<IOTAModule> module = Editor->GetModule();
    return module ? module->GetFileName() : std::string();
}

std::string FileExt(const std::string& FileName) {
    auto dot = FileName.find_last_of(".\\/");
    if (dot == std::string::npos || FileName[dot] != '.') return {};
    return FileName.substr(dot + 1);
}

/// The editor window's local menu gets the "Locate in Explorer" item of the IDE's action
/// "SyncKolvaExplorerAction", once however often the host docks there.
void AddLocateItem(QWidget* EditWindow, INTAServices& NTA) {
    auto* menu = EditWindow->findChild<QMenu*>("EditorLocalMenu");
    if (!menu) return;
    for (QAction* item : menu->actions())
        if (item->objectName() == "SyncKolvaExplorerActionItem") return;
    QObject* list = NTA.GetActionList();
    auto* action = list ? list->findChild<QAction*>("SyncKolvaExplorerAction") : nullptr;
    if (!action) return;
    auto* item = new QAction("Locate in Explorer", menu);
    item->setObjectName("SyncKolvaExplorerActionItem");
    item->setIcon(action->icon());
    item->setShortcut(QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_L));
    QObject::connect(item, &QAction::triggered, action, &QAction::trigger);
    menu->addAction(item);
}

} // namespace

TKOLVASyncEngine::TKOLVASyncEngine(TIToolServices& Services)
    : FServices(Services), FEditor(std::make_unique<TIDEEditor>(*this)),
      FSynchronizer(std::make_unique<TKOLVASynchronizer>(*this)),
      FDesigner(std::make_unique<TKolvaDesignerInterface>(*this)) {
    for (TOneShotTimer* timer : {&FModifiedDelayTimer, &FChangeDelayTimer})
        timer->SetOnTimer([this](TObject*) { SyncNow(); });
    FDFMBugTimer.SetInterval(50);
    FDFMBugTimer.SetOnTimer([this](TObject*) { RepairPendingFiles(); });
    FOptionsObserver.SetOnChange([this](TKOLVAOptChanges Changes) { OptionsChanged(Changes); });
    OptionsChanged(TKOLVAOptChanges::All());

    FIDENotifier = TIntf<TOTAIDENotifier>(new TOTAIDENotifier(Services.Services()));
    FIDENotifier->OnFileNotification = [this](TOTANotifier&, TOTAFileNotification Code,
                                              const std::string& FileName, bool&) {
        if (Code == ofnFileOpened) FileOpened(FileName);
    };
    FIDENotifier->Register();
    if (FEditorNotifiers.empty() && FModuleNotifiers.empty()) {
        IOTAEditorServices& editors = Services.EditorServices();
        for (int i = 0; i < editors.EditBufferCount(); ++i)
            if (TIntf<IOTAEditBuffer> buffer = editors.EditBuffers(i);
                buffer && buffer->GetModule())
                AttachBuffer(*buffer);
    }
}

TKOLVASyncEngine::~TKOLVASyncEngine() {
    StopDelayTimers();
    FDFMBugTimer.SetEnabled(false);
    if (FLockCount > 0) EndLock();
    // The window is going: nothing may reach its explorer or start a timer any more.
    FExplorer = nullptr;
    FFrame = nullptr;
    FIDENotifier->Detach();
    while (!FEditorNotifiers.empty()) {
        FEditorNotifiers.back()->Detach();
        FEditorNotifiers.pop_back();
    }
    while (!FModuleNotifiers.empty()) {
        FModuleNotifiers.back()->Detach();
        FModuleNotifiers.pop_back();
    }
}

bool TKOLVASyncEngine::IsVisible() const {
    return FFrame && FFrame->IsVisible();
}

void TKOLVASyncEngine::OptionsChanged(TKOLVAOptChanges Changes) {
    if (!Changes.Contains(ocSync)) return;
    // Setting an interval restarts a running timer: only a real change may do that.
    const TKOLVAOptions& options = KOLVAOptions();
    if (FModifiedDelayTimer.Interval() != options.ModifiedSyncDelay())
        FModifiedDelayTimer.SetInterval(options.ModifiedSyncDelay());
    if (FChangeDelayTimer.Interval() != options.GeneralSyncDelay())
        FChangeDelayTimer.SetInterval(options.GeneralSyncDelay());
}

// ---- Following a buffer -------------------------------------------------------------------

TIntf<IOTAFormDesigner> TKOLVASyncEngine::CurrentDesigner() const {
    return FCurrentDesigner;
}

void TKOLVASyncEngine::SetCurrentBuffer(TIntf<IOTAEditBuffer> Buffer) {
    if (Buffer == FCurrentBuffer) return;
    if (Buffer && FCurrentBuffer) {
        std::string name = ModuleFileName(Buffer.Get());
        if (!name.empty() && SameText(name, ModuleFileName(FCurrentBuffer.Get()))) return;
    }
    FCurrentBuffer = std::move(Buffer);
    FCurrentDesigner = {};
    if (TIntf<IOTAModule> module = FCurrentBuffer ? FCurrentBuffer->GetModule() : nullptr)
        for (int i = 0; i < module->GetModuleFileCount(); ++i) {
            TIntf<IOTAEditor> editor = module->GetModuleFileEditor(i);
            if (TIntf<IOTAFormEditor> form = editor ? editor->AsFormEditor() : nullptr) {
                FCurrentDesigner = form->GetFormDesigner();
                break;
            }
        }
    MarkChanged();
}

void TKOLVASyncEngine::MarkChanged() {
    SetOutOfDate(true);
    if (IsVisible()) FChangeDelayTimer.SetEnabled(true);
}

void TKOLVASyncEngine::MarkModified() {
    SetOutOfDate(true);
    if (IsVisible()) FModifiedDelayTimer.SetEnabled(true);
}

void TKOLVASyncEngine::SyncNow() {
    StopDelayTimers();
    if (!IsVisible() || IsEditing()) return;
    SetOutOfDate(false);
    ReadSource();
}

void TKOLVASyncEngine::ReadSource() {
    if (FExplorer) FExplorer->ReadSource();
}

void TKOLVASyncEngine::SetOutOfDate(bool Value) {
    if (Value == FOutOfDate) return;
    FOutOfDate = Value;
    if (FExplorer) FExplorer->SetOutOfStep(Value);
}

void TKOLVASyncEngine::StopDelayTimers() {
    FModifiedDelayTimer.SetEnabled(false);
    FChangeDelayTimer.SetEnabled(false);
}

// ---- The window ---------------------------------------------------------------------------

void TKOLVASyncEngine::FollowEditWindow(bool Showing) {
    QWidget* outer = FFrame ? OutermostForm(FFrame->GetHostWindow()) : nullptr;
    QWidget* tracked = outer && ClassNameOf(outer) == "TEditWindow" ? outer : nullptr;
    const bool changed = tracked != FEditWindow;
    FEditWindow = tracked;
    if (!Showing && !changed) return;
    TIntf<IOTAEditBuffer> buffer = FServices.EditorServices().TopBuffer();
    if (tracked && buffer) {
        TIntf<IOTAEditView> view = buffer->GetTopView();
        TIntf<IOTAEditWindow> window = view ? view->GetEditWindow() : nullptr;
        if (!window || OutermostForm(window->GetForm()) != tracked) buffer = {};
        AddLocateItem(tracked, FServices.NTAServices());
    }
    SetCurrentBuffer(std::move(buffer));
}

void TKOLVASyncEngine::FormHidden() {
    if (FLockCount > 0) CancelEdit();
    FCurrentBuffer = {};
    FCurrentDesigner = {};
    SetOutOfDate(true);
    StopDelayTimers();
}

// ---- The edit lock ------------------------------------------------------------------------

TStringList& TKOLVASyncEngine::BeginEdit(bool SkipReadOnlyCheck) {
    if (++FLockCount > 1) return FLocalCopy;
    FLocalCopy.Clear();
    try {
        if (FOutOfDate || !FCurrentBuffer ||
            !KOLVAOptions().IsSourceModule(FileExt(ModuleFileName(FCurrentBuffer.Get()))))
            Abort();
        if (!SkipReadOnlyCheck && FCurrentBuffer->IsReadOnly()) {
            if (!ConfirmDlg(ReadOnlyQuestion)) Abort();
            FCurrentBuffer->SetIsReadOnly(false);
        }
        FLocalCopy.SetText(ReadEditBuffer(*FCurrentBuffer));
    } catch (...) {
        FLockCount = 0;
        FLocalCopy.Clear();
        throw;
    }
    if (FExplorer) FExplorer->BeginParserUpdate();
    return FLocalCopy;
}

void TKOLVASyncEngine::EndLock() {
    FLockCount = 0;
    FLocalCopy.Clear();
    if (FExplorer) FExplorer->EndParserUpdate();
}

void TKOLVASyncEngine::EndEdit() {
    if (FLockCount <= 0 || --FLockCount > 0) return;
    EndLock();
    SyncNow();
}

void TKOLVASyncEngine::CancelEdit() {
    if (FLockCount <= 0) return;
    EndLock();
    ReadSource();
}

// A failed write leaves the buffer and the local copy apart: the lock goes and the source
// is read again, so that the model shows what the buffer holds.
void TKOLVASyncEngine::DeleteLines(int StartLine, int Count) {
    try {
        FEditor->DeleteLines(FLocalCopy, StartLine, Count);
    } catch (...) {
        CancelEdit();
        throw;
    }
}

void TKOLVASyncEngine::InsertLines(int Line, const TStringList& NewLines) {
    try {
        FEditor->InsertLines(FLocalCopy, Line, NewLines);
    } catch (...) {
        CancelEdit();
        throw;
    }
}

void TKOLVASyncEngine::BufferChangedByDesigner() {
    if (!IsEditing()) return SyncNow();
    if (FCurrentBuffer) FLocalCopy.SetText(ReadEditBuffer(*FCurrentBuffer));
}

} // namespace kolva
