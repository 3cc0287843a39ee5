// The synchronisation engine of the explorer's host window: which edit buffer the explorer
// follows, when the buffer is read and parsed again (delays after typing, saving and
// switching buffers), and the edit lock through which the editing engine writes into the
// buffer. The window owns one engine and forwards its show, hide and docking events to it;
// the explorer it re-reads is reached through TSyncExplorer.
//
// The model is out of date from the moment the buffer may differ from it until the next
// re-read. An edit may only begin on a model that is in date, so the engine's line numbers
// always name the lines they were computed from.
#pragma once

#include "foundation/Timers.h"
#include "ide/IDEEditor.h"
#include "ide/OTANotifiers.h"
#include "platform/StringList.h"
#include "settings/KOLVAOpts.h"
#include "toolsapi/DockForm.h"
#include "toolsapi/ExptIntf.h"

#include <memory>
#include <QPointer>
#include <QWidget>
#include <string>
#include <vector>

namespace kolva {

class TKOLVASynchronizer;
class TKolvaDesignerInterface;

/// What the engine needs of the explorer window.
class TSyncExplorer {
public:
    virtual ~TSyncExplorer() = default;
    /// Reads the source through the editor interface and parses it again.
    virtual void ReadSource() = 0;
    /// Shows the model as out of step with the buffer (true) or in step (false).
    virtual void SetOutOfStep(bool Value) = 0;
    /// The parser's update bracket: the model is not rebuilt while an edit is open.
    virtual void BeginParserUpdate() = 0;
    virtual void EndParserUpdate() = 0;
};

/// The confirmation before an edit unlocks a read-only buffer.
inline constexpr const char* ReadOnlyQuestion =
    "Edit buffer is marked read only. Set to read/write to allow editing?";

class TKOLVASyncEngine final : public TIDEEditorHost {
public:
    /// Registers the IDE notifier, attaches every open buffer when no notifier is attached
    /// yet, and takes the delays from the options. The model starts out of date.
    /// EXPECTS: Services outlive the engine.
    explicit TKOLVASyncEngine(TIToolServices& Services);
    /// Stops the timers, drops the edit lock, unregisters the IDE notifier, then detaches
    /// the editor and module notifiers, each list from its last entry.
    ~TKOLVASyncEngine() override;
    TKOLVASyncEngine(const TKOLVASyncEngine&) = delete;
    TKOLVASyncEngine& operator=(const TKOLVASyncEngine&) = delete;

    TIToolServices& Services() const { return FServices; }
    TIDEEditor& Editor() const { return *FEditor; }
    TKOLVASynchronizer& Synchronizer() const { return *FSynchronizer; }
    TKolvaDesignerInterface& Designer() const { return *FDesigner; }
    /// Explorer (not owned; null for none) hears re-reads, the out-of-step state and the
    /// edit bracket.
    void SetExplorer(TSyncExplorer* Explorer) { FExplorer = Explorer; }
    /// The frame the window lives in (not owned; null for none): its visibility is the
    /// host's, its outermost window the edit window it is docked into.
    void SetFrame(INTADockableForm* Frame) { FFrame = Frame; }
    bool IsVisible() const;

    // --- Following a buffer
    TIntf<IOTAEditBuffer> CurrentBuffer() override { return FCurrentBuffer; }
    /// The form designer of the current buffer's module; nil when it has no form.
    TIntf<IOTAFormDesigner> CurrentDesigner() const;
    /// Follows Buffer (nil for none) unless it is, or has the file of, the current one.
    void SetCurrentBuffer(TIntf<IOTAEditBuffer> Buffer);
    /// A new buffer is followed: out of date, ChangeDelayTimer restarted while visible.
    void MarkChanged();
    /// The followed text changed or was saved: out of date, ModifiedDelayTimer restarted
    /// while visible.
    void MarkModified();
    /// Stops both delay timers; while visible and not editing, re-reads the source.
    void SyncNow() override;
    bool OutOfDate() const { return FOutOfDate; }
    /// Tells the explorer when the value changes.
    void SetOutOfDate(bool Value);

    // --- The window's events
    void FormShown() { FollowEditWindow(true); }
    void FormEndDock() { FollowEditWindow(false); }
    void FormUnDock() { FollowEditWindow(false); }
    /// Cancels the edit lock, forgets the buffer, goes out of date and stops the delays.
    void FormHidden();
    /// The edit window the host is docked into; null when floating or hidden there.
    QWidget* TrackedEditWindow() const { return FEditWindow; }

    TOneShotTimer& ModifiedDelayTimer() { return FModifiedDelayTimer; }
    TOneShotTimer& ChangeDelayTimer() { return FChangeDelayTimer; }
    TOneShotTimer& DFMBugTimer() { return FDFMBugTimer; }

    // --- Notifiers
    /// One editor and one module notifier for Buffer, each registered, at the lists' ends.
    void AttachBuffer(IOTAEditBuffer& Buffer);
    /// The IDE opened FileName: attach its buffers and follow the front buffer, or queue a
    /// unit the IDE still shows as its form text.
    void FileOpened(const std::string& FileName);
    TOTAIDENotifier& IDENotifier() const { return *FIDENotifier; }
    const std::vector<TIntf<TOTAEditorNotifier>>& EditorNotifiers() const {
        return FEditorNotifiers;
    }
    const std::vector<TIntf<TOTAModuleNotifier>>& ModuleNotifiers() const {
        return FModuleNotifiers;
    }
    /// Units waiting until the IDE reports them under their own name, newest first.
    const TStringList& PendingFiles() const { return FPendingFiles; }

    // --- The edit lock, carried out for TKOLVASynchronizer
    TStringList& BeginEdit(bool SkipReadOnlyCheck);
    void EndEdit();
    void CancelEdit();
    void DeleteLines(int StartLine, int Count);
    void InsertLines(int Line, const TStringList& NewLines);
    bool IsEditing() const { return FLockCount > 0; }
    TStringList& Lines() { return FLocalCopy; }
    int LockCount() const { return FLockCount; }
    /// The designer rewrote the buffer by itself: the local copy is read again while an
    /// edit is open, otherwise the source is read again at once.
    void BufferChangedByDesigner();

private:
    TIToolServices& FServices;
    std::unique_ptr<TIDEEditor> FEditor;
    std::unique_ptr<TKOLVASynchronizer> FSynchronizer;
    std::unique_ptr<TKolvaDesignerInterface> FDesigner;
    TSyncExplorer* FExplorer = nullptr;
    INTADockableForm* FFrame = nullptr;

    TIntf<IOTAEditBuffer> FCurrentBuffer;
    TIntf<IOTAFormDesigner> FCurrentDesigner;
    bool FOutOfDate = true;
    QPointer<QWidget> FEditWindow;
    TOneShotTimer FModifiedDelayTimer, FChangeDelayTimer, FDFMBugTimer;
    TKOLVAOptionsObserver FOptionsObserver;

    TIntf<TOTAIDENotifier> FIDENotifier;
    std::vector<TIntf<TOTAEditorNotifier>> FEditorNotifiers;
    std::vector<TIntf<TOTAModuleNotifier>> FModuleNotifiers;
    TStringList FPendingFiles;

    int FLockCount = 0;
    TStringList FLocalCopy;

    void OptionsChanged(TKOLVAOptChanges Changes);
    void StopDelayTimers();
    void FollowEditWindow(bool Showing);
    void RepairPendingFiles();
    void EndLock();
    void ReadSource();

    // Notifier handlers.
    void ViewActivated(IOTAEditView* View);
    void EditorDestroyed(TOTAEditorNotifier& Notifier);
    void ModuleDestroyed(TOTAModuleNotifier& Notifier);
    void ModuleChanged(TOTAModuleNotifier& Notifier, TSyncOption Option);
};

/// The edit lock of the host window: the editing engine's only way to write into the buffer.
class TKOLVASynchronizer final : public TEditSynchronizer {
public:
    explicit TKOLVASynchronizer(TKOLVASyncEngine& Engine) : FEngine(Engine) {}

    /// Opening the outermost level refuses (silent abort, lock back at 0) while the model is
    /// out of date, without a buffer or for a file that is not a source module; a read-only
    /// buffer is unlocked only when the user agrees (unless SkipReadOnlyCheck).
    TStringList& BeginEdit(bool SkipReadOnlyCheck) override {
        return FEngine.BeginEdit(SkipReadOnlyCheck);
    }
    /// Drops every level; changes written stay, and the source is read again.
    void CancelEdit() override { FEngine.CancelEdit(); }
    /// One undo step of the buffer. A failure cancels the edit and passes on.
    void DeleteLines(int StartLine, int Count) override { FEngine.DeleteLines(StartLine, Count); }
    /// Closing the outermost level reads and parses the source again at once.
    void EndEdit() override { FEngine.EndEdit(); }
    TStringList& Lines() override { return FEngine.Lines(); }
    bool IsEditing() const override { return FEngine.IsEditing(); }
    /// One undo step of the buffer. A failure cancels the edit and passes on.
    void InsertLines(int Line, const TStringList& NewLines) override {
        FEngine.InsertLines(Line, NewLines);
    }

private:
    TKOLVASyncEngine& FEngine;
};

} // namespace kolva
