// The reader and the writer work on the editor control's bytes directly. A writer collects
// its changes and makes them when its last reference goes, inside one undo bracket, from the
// last change to the first, so that the earlier positions stay valid while it replaces.
#include "host/Modules.h"

#include "host/EditControl.h"
#include "host/HostFormEditor.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <cstring>
#include <QFileInfo>
#include <vector>

namespace kolva {

namespace {

class THostEditReader final : public TInterfacedObject, public IOTAEditReader {
public:
    explicit THostEditReader(TIntf<THostEditBuffer> Buffer) : FBuffer(std::move(Buffer)) {}
    KOLVA_IMPLEMENT_REFCOUNT

    int GetText(int Position, char* Buffer, int Count) noexcept override {
        TEditControl* control = FBuffer->Control();
        if (!control || Position < 0 || Count <= 0) return 0;
        int length = control->Length();
        if (Position >= length) return 0;
        int count = std::min(Count, length - Position);
        auto* data = reinterpret_cast<const char*>(
            control->SendScintilla(QsciScintillaBase::SCI_GETRANGEPOINTER,
                                   static_cast<unsigned long>(Position), static_cast<long>(count)));
        std::memcpy(Buffer, data, count);
        return count;
    }

private:
    TIntf<THostEditBuffer> FBuffer;
};

class THostEditWriter final : public TInterfacedObject, public IOTAEditWriter {
public:
    explicit THostEditWriter(TIntf<THostEditBuffer> Buffer)
        : FBuffer(std::move(Buffer)), FLength(FBuffer->Control()->Length()) {}
    ~THostEditWriter() override { Commit(); }
    KOLVA_IMPLEMENT_REFCOUNT

    void CopyTo(int Pos) noexcept override { FPos = std::max(FPos, std::min(Pos, FLength)); }
    void DeleteTo(int Pos) noexcept override {
        int to = std::min(Pos, FLength);
        if (to <= FPos) return;
        Change(FPos, to, "");
        FPos = to;
    }
    void Insert(const std::string& Text) noexcept override {
        if (!Text.empty()) Change(FPos, FPos, Text);
    }
    int CurrentPos() noexcept override { return FPos; }

private:
    struct TChange {
        int From, To;
        std::string Text;
    };
    TIntf<THostEditBuffer> FBuffer;
    int FLength;
    int FPos = 0;
    std::vector<TChange> FChanges;

    void Change(int From, int To, const std::string& Text) {
        try {
            if (!FChanges.empty() && FChanges.back().To == From) {
                FChanges.back().To = To;
                FChanges.back().Text += Text;
            } else {
                FChanges.push_back({From, To, Text});
            }
        } catch (...) {
            // Out of memory: the change is lost, the buffer stays as it was.
        }
    }

    void Commit() {
        TEditControl* control = FBuffer->Control();
        if (!control || FChanges.empty()) return;
        control->beginUndoAction();
        for (auto change = FChanges.rbegin(); change != FChanges.rend(); ++change)
            control->ReplaceRange(change->From, change->To, change->Text);
        control->endUndoAction();
    }
};

class THostEditWindow final : public TInterfacedObject, public IOTAEditWindow {
public:
    explicit THostEditWindow(QWidget* Form) : FForm(Form) {}
    KOLVA_IMPLEMENT_REFCOUNT
    QWidget* GetForm() noexcept override { return FForm; }

private:
    QPointer<QWidget> FForm;
};

class THostEditView final : public TInterfacedObject, public IOTAEditView {
public:
    explicit THostEditView(TIntf<THostEditBuffer> Buffer) : FBuffer(std::move(Buffer)) {}
    KOLVA_IMPLEMENT_REFCOUNT

    TIntf<IOTAEditBuffer> GetBuffer() noexcept override { return FBuffer; }
    int CharPosToPos(TOTACharPos CharPos) noexcept override {
        TEditControl* control = FBuffer->Control();
        if (!control) return 0;
        if (CharPos.Line < 1) return 0;
        if (CharPos.Line > control->lines()) return control->Length();
        long start = Send(control, QsciScintillaBase::SCI_POSITIONFROMLINE, CharPos.Line - 1);
        long end = Send(control, QsciScintillaBase::SCI_GETLINEENDPOSITION, CharPos.Line - 1);
        return static_cast<int>(std::min(start + std::max(CharPos.CharIndex, 0), end));
    }
    TOTAEditPos GetCursorPos() noexcept override {
        TEditControl* control = FBuffer->Control();
        if (!control) return {};
        long pos = control->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
        long line = Send(control, QsciScintillaBase::SCI_LINEFROMPOSITION, pos);
        long col = Send(control, QsciScintillaBase::SCI_GETCOLUMN, pos);
        return {static_cast<int>(col) + 1, static_cast<int>(line) + 1};
    }
    void SetCursorPos(TOTAEditPos Pos) noexcept override {
        TEditControl* control = FBuffer->Control();
        if (!control) return;
        int line = std::clamp(Pos.Line - 1, 0, control->lines() - 1);
        control->SendScintilla(QsciScintillaBase::SCI_GOTOPOS,
                               static_cast<unsigned long>(control->SendScintilla(
                                   QsciScintillaBase::SCI_FINDCOLUMN,
                                   static_cast<unsigned long>(line), std::max(Pos.Col - 1, 0))));
    }
    TOTAEditPos GetTopPos() noexcept override {
        TEditControl* control = FBuffer->Control();
        if (!control) return {};
        return {1, control->firstVisibleLine() + 1};
    }
    void SetTopPos(TOTAEditPos Pos) noexcept override {
        TEditControl* control = FBuffer->Control();
        if (control) control->setFirstVisibleLine(std::max(Pos.Line - 1, 0));
    }
    TOTAViewSize GetViewSize() noexcept override {
        TEditControl* control = FBuffer->Control();
        if (!control) return {};
        int rows = static_cast<int>(control->SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN));
        int cell = static_cast<int>(control->SendScintilla(
            QsciScintillaBase::SCI_TEXTWIDTH,
            static_cast<unsigned long>(QsciScintillaBase::STYLE_DEFAULT), "M"));
        int columns = cell > 0 ? control->viewport()->width() / cell : 0;
        return {columns, rows};
    }
    void Paint() noexcept override {
        if (TEditControl* control = FBuffer->Control()) control->viewport()->update();
    }
    TIntf<IOTAEditWindow> GetEditWindow() noexcept override {
        TEditControl* control = FBuffer->Control();
        if (!control) return {};
        try {
            return TIntf<IOTAEditWindow>(new THostEditWindow(control->window()));
        } catch (...) {
            return {};
        }
    }

private:
    TIntf<THostEditBuffer> FBuffer;

    static long Send(TEditControl* Control, unsigned Msg, long Arg) {
        return Control->SendScintilla(Msg, static_cast<unsigned long>(Arg));
    }
};

std::string JoinedText(const cli::TLineLayout& Layout) {
    std::string text;
    for (size_t i = 0; i < Layout.Lines.size(); ++i) {
        text += Layout.Lines[i];
        if (!Layout.Breaks[i].empty()) text += "\r\n";
    }
    return text;
}

/// Makes an interface object, or nil when memory runs out (nothing may raise here).
template <class T, class... Args>
TIntf<T> Make(Args&&... args) noexcept {
    try {
        return TIntf<T>(new T(std::forward<Args>(args)...));
    } catch (...) {
        return {};
    }
}

} // namespace

// ---- THostEditBuffer ----------------------------------------------------------------------

THostEditBuffer::THostEditBuffer(THostModule* Module, TEditControl* Control)
    : FModule(Module), FControl(Control) {}

void THostEditBuffer::Detach() {
    FNotifiers.DestroyAll();
    FModule = nullptr;
    FControl = nullptr;
}

void THostEditBuffer::NotifyViewActivated() {
    TIntf<IOTAEditView> view = GetTopView();
    if (view) FNotifiers.ForEach([&](IOTAEditorNotifier& N) { N.ViewActivated(view.Get()); });
}

std::string THostEditBuffer::GetFileName() noexcept {
    return FModule ? FModule->GetFileName() : std::string();
}

TIntf<IOTAModule> THostEditBuffer::GetModule() noexcept {
    return FModule;
}

TIntf<IOTAEditView> THostEditBuffer::GetTopView() noexcept {
    if (!FControl) return {};
    return Make<THostEditView>(TIntf<THostEditBuffer>(this));
}

bool THostEditBuffer::IsReadOnly() noexcept {
    return FControl && FControl->isReadOnly();
}

void THostEditBuffer::SetIsReadOnly(bool Value) noexcept {
    if (FControl) FControl->setReadOnly(Value);
}

TIntf<IOTAEditReader> THostEditBuffer::CreateReader() noexcept {
    return Make<THostEditReader>(TIntf<THostEditBuffer>(this));
}

TIntf<IOTAEditWriter> THostEditBuffer::CreateUndoableWriter() noexcept {
    if (!FControl || FControl->isReadOnly()) return {};
    return Make<THostEditWriter>(TIntf<THostEditBuffer>(this));
}

int THostEditBuffer::AddNotifier(IOTAEditorNotifier* Notifier) noexcept {
    try {
        return FNotifiers.Add(Notifier);
    } catch (...) {
        return -1;
    }
}

void THostEditBuffer::RemoveNotifier(int Index) noexcept {
    FNotifiers.Remove(Index);
}

// ---- THostModule --------------------------------------------------------------------------

THostModule::THostModule(const std::string& NativeFileName) : FNativeFileName(NativeFileName) {
    FLayout = cli::SplitLines(ReadFileText(NativeFileName));
    FInitialText = JoinedText(FLayout);
    FReadOnly = !QFileInfo(QString::fromStdString(NativeFileName)).isWritable();
    std::string form = THostForm::FormFileBeside(NativeFileName);
    if (form.empty()) return;
    try {
        FForm = std::make_unique<THostForm>(form);
    } catch (const Exception& E) {
        // The unit opens all the same; only its form cannot be designed.
        ShowWarning(E.Message());
    }
}

THostModule::~THostModule() {
    if (FBuffer) FBuffer->Detach();
}

void THostModule::AttachControl(TEditControl* Control) {
    FBuffer = TIntf<THostEditBuffer>(new THostEditBuffer(this, Control));
}

bool THostModule::IsModified() const {
    return FBuffer && FBuffer->Control() && FBuffer->Control()->isModified();
}

void THostModule::Save() {
    TEditControl* control = FBuffer ? FBuffer->Control() : nullptr;
    if (!control) return;
    FNotifiers.ForEach([](IOTAModuleNotifier& N) { N.BeforeSave(); });
    cli::TLineLayout edited = cli::SplitLines(control->Bytes());
    cli::TLineLayout layout = cli::Relayout(FLayout, std::move(edited.Lines));
    WriteFileText(FNativeFileName, cli::JoinLines(layout));
    FLayout = std::move(layout);
    if (FForm) FForm->Save();
    control->setModified(false);
    FNotifiers.ForEach([](IOTAModuleNotifier& N) { N.AfterSave(); });
}

void THostModule::SaveAs(const std::string& NativeFileName) {
    std::string old = FNativeFileName;
    FNativeFileName = NativeFileName;
    try {
        Save();
    } catch (...) {
        FNativeFileName = old;
        throw;
    }
    std::string name = GetFileName();
    FNotifiers.ForEach([&](IOTAModuleNotifier& N) { N.ModuleRenamed(name); });
}

void THostModule::Close() {
    if (FClosed) return;
    FClosed = true;
    FNotifiers.DestroyAll();
    if (FBuffer) FBuffer->Detach();
}

void THostModule::NotifyModified() {
    FNotifiers.ForEach([](IOTAModuleNotifier& N) { N.Modified(); });
}

std::string THostModule::GetFileName() noexcept {
    try {
        return WindowsPath(FNativeFileName);
    } catch (...) {
        return FNativeFileName;
    }
}

int THostModule::GetModuleFileCount() noexcept {
    if (!FBuffer) return 0;
    return FForm ? 2 : 1;
}

// The source first, then the form, as the IDE lists a form unit's files.
TIntf<IOTAEditor> THostModule::GetModuleFileEditor(int Index) noexcept {
    if (!FBuffer) return {};
    if (Index == 0) return TIntf<IOTAEditor>(FBuffer.Get());
    if (Index == 1 && FForm) return TIntf<IOTAEditor>(MakeHostFormEditor(*this).Get());
    return {};
}

int THostModule::AddNotifier(IOTAModuleNotifier* Notifier) noexcept {
    if (FClosed) return -1;
    try {
        return FNotifiers.Add(Notifier);
    } catch (...) {
        return -1;
    }
}

void THostModule::RemoveNotifier(int Index) noexcept {
    FNotifiers.Remove(Index);
}

} // namespace kolva
