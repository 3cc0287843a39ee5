// A designer operation works on a copy of the unit's text and of the form: the command
// line's designer runs over a unit held in memory, and only when it succeeds does the changed
// middle of the text go to the buffer in one writer, and the changed form replace the held
// one. A refused or failed operation leaves both as they were.
#include "host/HostForm.h"

#include "cli/LineLayout.h"
#include "editing/FormDesigner.h"
#include "editing/KolvaEditors.h"
#include "editing/MemoryEditor.h"
#include "host/Modules.h"
#include "model/ModuleExplorer.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <climits>
#include <QDir>
#include <QFileInfo>

namespace kolva {

namespace {

/// The unit text as the buffer holds it: lines joined by CR LF, a final break kept.
std::string JoinBufferLines(const TStringList& Lines, bool FinalBreak) {
    std::string text;
    for (int i = 0; i < Lines.Count(); ++i) {
        if (i > 0) text += "\r\n";
        text += Lines[i];
    }
    if (FinalBreak && Lines.Count() > 0) text += "\r\n";
    return text;
}

/// Replaces the part of the buffer that differs between Old and New with one writer.
void WriteDifference(IOTAEditBuffer& Buffer, const std::string& Old, const std::string& New) {
    size_t prefix = 0;
    while (prefix < Old.size() && prefix < New.size() && Old[prefix] == New[prefix])
        ++prefix;
    size_t suffix = 0;
    while (suffix < Old.size() - prefix && suffix < New.size() - prefix &&
           Old[Old.size() - 1 - suffix] == New[New.size() - 1 - suffix])
        ++suffix;
    TIntf<IOTAEditWriter> writer = Buffer.CreateUndoableWriter();
    if (!writer) throw Exception("The unit is read-only");
    writer->CopyTo(static_cast<int>(prefix));
    writer->DeleteTo(static_cast<int>(Old.size() - suffix));
    writer->Insert(New.substr(prefix, New.size() - suffix - prefix));
    writer->CopyTo(INT_MAX);
}

} // namespace

std::string THostForm::FormFileBeside(const std::string& NativeUnitName) {
    QFileInfo unit(QString::fromStdString(NativeUnitName));
    for (const char* ext : {".dfm", ".DFM", ".Dfm"}) {
        QFileInfo form(unit.dir(), unit.completeBaseName() + ext);
        if (form.isFile()) return form.filePath().toStdString();
    }
    return {};
}

// The method of the form class named Name that the form binds to an event.
static TMethodItem* HandlerMethod(TModuleExplorer& Explorer, TFormFileDesigner& Designer,
                                  const std::string& Root, const std::string& Name) {
    for (TCodeItem* type : Explorer.Module().Children())
        if (type->Kind() == ckClass && SameText(type->Name, Root))
            for (TCodeItem* member : type->Children())
                if (member->Kind() == ckMethod && SameText(member->Name, Name) &&
                    Designer.IsEventHandler(Root, member->Name))
                    return static_cast<TMethodItem*>(member);
    return nullptr;
}

THostForm::THostForm(const std::string& NativeFormName)
    : FNativeFileName(NativeFormName), FForm(TFormFile::LoadFromFile(NativeFormName)) {}

std::string THostForm::RootClass() const {
    return FForm.Root() ? FForm.Root()->ClassName : std::string();
}

void THostForm::Save() {
    if (FForm.Modified()) FForm.SaveToFile(FNativeFileName);
}

bool THostForm::RenameComponent(THostEditBuffer& Buffer, const std::string& OldName,
                                const std::string& NewName) {
    return Run(Buffer, TOperation::RenameComponent, OldName, NewName);
}

bool THostForm::DeleteComponent(THostEditBuffer& Buffer, const std::string& Name) {
    return Run(Buffer, TOperation::DeleteComponent, Name, {});
}

bool THostForm::DeleteEventHandler(THostEditBuffer& Buffer, const std::string& Name) {
    return Run(Buffer, TOperation::DeleteHandler, Name, {});
}

bool THostForm::RenameEventHandler(THostEditBuffer& Buffer, const std::string& OldName,
                                   const std::string& NewName) {
    return Run(Buffer, TOperation::RenameHandler, OldName, NewName);
}

bool THostForm::RenameClass(THostEditBuffer& Buffer, const std::string& NewClassName) {
    return Run(Buffer, TOperation::RenameClass, RootClass(), NewClassName);
}

int THostForm::UnbindEventHandler(const std::string& Name) {
    int count = FForm.UnbindHandler(Name);
    if (count > 0 && OnChange) OnChange();
    return count;
}

bool THostForm::Run(THostEditBuffer& Buffer, TOperation Operation, const std::string& Name,
                    const std::string& NewName) {
    if (!Buffer.Control()) return false;
    const std::string old = Buffer.Control()->Bytes();
    cli::TLineLayout layout = cli::SplitLines(old);
    const bool finalBreak = !layout.Breaks.empty() && !layout.Breaks.back().empty();
    TMemoryEditor unit(Buffer.GetFileName());
    unit.Text().BeginUpdate();
    for (const std::string& line : layout.Lines)
        unit.Text().Add(line);
    unit.Text().EndUpdate();
    TModuleExplorer explorer;
    unit.OnEditEnd = [&] { explorer.Parse(&unit.Text()); };
    explorer.Parse(&unit.Text());
    TKolvaEditor editor(explorer, &unit);
    TFormFileDesigner designer(FForm, editor);
    editor.SetDesigner(&designer);

    const std::string root = RootClass();
    bool done = false;
    switch (Operation) {
    case TOperation::RenameComponent:
        done = designer.RenameComponent(root, Name, NewName);
        break;
    case TOperation::DeleteComponent:
        done = designer.DeleteComponent(root, Name);
        break;
    case TOperation::RenameClass:
        done = designer.RenameClass(root, NewName);
        break;
    case TOperation::RenameHandler:
        done = designer.RenameEventHandler(root, Name, NewName);
        break;
    case TOperation::DeleteHandler:
        // The IDE's own designer deletes it: the explorer's designer restrictions do not apply.
        // Deleting parses the unit again, so the method is found before, not while, deleting.
        editor.SetDesignerRestrictions({});
        if (TMethodItem* handler = HandlerMethod(explorer, designer, root, Name)) {
            editor.DeleteMethod(*handler);
            done = true;
        }
        break;
    }
    if (!done) return false;
    const std::string changed = JoinBufferLines(unit.Text(), finalBreak);
    if (changed != old) WriteDifference(Buffer, old, changed);
    FForm = designer.Form();
    if (OnChange) OnChange();
    return true;
}

} // namespace kolva
