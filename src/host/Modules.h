// The host's modules: a unit open in the IDE with its source buffer (an editor control in a
// tab of the edit window) and the file it came from. The module reads the file, keeps its
// line-break layout and writes it back in the same style.
//
// A module and its buffer live as long as references to them do; once the module is closed
// they answer as objects whose file has gone: no view, no text, nil module.
#pragma once

#include "cli/LineLayout.h"
#include "host/EditControl.h"
#include "host/HostForm.h"
#include "host/Notifiers.h"
#include "toolsapi/ToolsAPI.h"

#include <memory>
#include <QPointer>
#include <string>

namespace kolva {

class THostModule;

class THostEditBuffer final : public TInterfacedObject, public IOTAEditBuffer {
public:
    THostEditBuffer(THostModule* Module, TEditControl* Control);
    KOLVA_IMPLEMENT_REFCOUNT

    /// Nil once the buffer's tab was closed.
    TEditControl* Control() const { return FControl; }
    /// The module is closing: tell the notifiers and forget module and control.
    void Detach();
    /// Reports a text change to the editor's notifiers as a view activation or change.
    void NotifyViewActivated();

    std::string GetFileName() noexcept override;
    TIntf<IOTAModule> GetModule() noexcept override;
    TIntf<IOTAEditBuffer> AsEditBuffer() noexcept override { return this; }
    TIntf<IOTAFormEditor> AsFormEditor() noexcept override { return {}; }
    TIntf<IOTAEditView> GetTopView() noexcept override;
    bool IsReadOnly() noexcept override;
    void SetIsReadOnly(bool Value) noexcept override;
    TIntf<IOTAEditReader> CreateReader() noexcept override;
    TIntf<IOTAEditWriter> CreateUndoableWriter() noexcept override;
    int AddNotifier(IOTAEditorNotifier* Notifier) noexcept override;
    void RemoveNotifier(int Index) noexcept override;

private:
    THostModule* FModule;
    QPointer<TEditControl> FControl;
    TNotifierList<IOTAEditorNotifier> FNotifiers;
};

class THostModule final : public TInterfacedObject, public IOTAModule {
public:
    /// Reads the file (a native path). Raises EInOutError when it cannot be read.
    explicit THostModule(const std::string& NativeFileName);
    ~THostModule() override;
    KOLVA_IMPLEMENT_REFCOUNT

    const std::string& NativeFileName() const { return FNativeFileName; }
    /// The buffer text as the file holds it, for the editor control: CR LF line breaks.
    const std::string& InitialText() const { return FInitialText; }
    bool InitialReadOnly() const { return FReadOnly; }
    /// The text form file beside the unit; nil when there is none (or it could not be read,
    /// which was reported).
    THostForm* Form() const { return FForm.get(); }
    bool IsClosed() const { return FClosed; }
    /// Makes the source buffer over the control that shows it.
    void AttachControl(TEditControl* Control);
    TIntf<THostEditBuffer> Buffer() const { return FBuffer; }
    bool IsModified() const;
    /// Writes the buffer to the file in the file's own line-break style, and the form file
    /// when it changed. Raises EInOutError.
    void Save();
    /// Saves under another name, which becomes the module's file.
    void SaveAs(const std::string& NativeFileName);
    /// Closing: notifiers hear Destroyed, the buffer forgets its control.
    void Close();
    void NotifyModified();

    std::string GetFileName() noexcept override;
    int GetModuleFileCount() noexcept override;
    TIntf<IOTAEditor> GetModuleFileEditor(int Index) noexcept override;
    int AddNotifier(IOTAModuleNotifier* Notifier) noexcept override;
    void RemoveNotifier(int Index) noexcept override;

private:
    std::string FNativeFileName;
    cli::TLineLayout FLayout;
    std::string FInitialText;
    bool FReadOnly = false;
    bool FClosed = false;
    std::unique_ptr<THostForm> FForm;
    TIntf<THostEditBuffer> FBuffer;
    TNotifierList<IOTAModuleNotifier> FNotifiers;
};

} // namespace kolva
