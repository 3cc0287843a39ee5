#include "editing/MemoryEditor.h"

#include "platform/SysUtils.h"

namespace kolva {

TMemoryEditor::TMemoryEditor(std::string FileName) : FFileName(std::move(FileName)) {}

TStringList& TMemoryEditor::BeginEdit(bool SkipReadOnlyCheck) {
    if (Refuse || (ReadOnly && !SkipReadOnlyCheck)) Abort();
    ++FLevel;
    return FText;
}

void TMemoryEditor::CancelEdit() {
    FLevel = 0;
}

void TMemoryEditor::EndEdit() {
    if (FLevel == 0) return;
    if (--FLevel == 0 && OnEditEnd) OnEditEnd();
}

void TMemoryEditor::DeleteLines(int StartLine, int Count) {
    if (StartLine < 0 || Count < 0 || StartLine + Count > FText.Count())
        throw EListError(Format("List index out of bounds (%d)", StartLine + Count));
    if (Count == 0) return;
    TStep step{false, StartLine, {}};
    FText.BeginUpdate();
    for (int i = 0; i < Count; ++i) {
        step.Lines.push_back(FText[StartLine]);
        FText.Delete(StartLine);
    }
    FText.EndUpdate();
    FUndo.push_back(std::move(step));
}

void TMemoryEditor::InsertLines(int Line, const TStringList& NewLines) {
    if (Line < 0 || Line > FText.Count())
        throw EListError(Format("List index out of bounds (%d)", Line));
    if (NewLines.Count() == 0) return;
    TStep step{true, Line, {}};
    FText.BeginUpdate();
    for (int i = 0; i < NewLines.Count(); ++i) {
        FText.Insert(Line + i, NewLines[i]);
        step.Lines.push_back(NewLines[i]);
    }
    FText.EndUpdate();
    FUndo.push_back(std::move(step));
}

void TMemoryEditor::Undo() {
    if (FLevel > 0 || FUndo.empty()) throw Exception("Nothing to undo");
    TStep step = std::move(FUndo.back());
    FUndo.pop_back();
    FText.BeginUpdate();
    if (step.Inserted) {
        for (size_t i = 0; i < step.Lines.size(); ++i)
            FText.Delete(step.Line);
    } else {
        for (size_t i = 0; i < step.Lines.size(); ++i)
            FText.Insert(step.Line + int(i), step.Lines[i]);
    }
    FText.EndUpdate();
}

void TMemoryEditor::Reset(const TStringList& Lines) {
    FText.Assign(Lines);
    FUndo.clear();
}

void TMemoryEditor::GetSource(TStringList& Lines, std::string& FileName) {
    Lines.Assign(FText);
    FileName = FFileName;
}

void TMemoryEditor::ShowLines(int FirstLine, int Line) {
    CursorLine = Line;
    TopLine = Line - FirstLine >= ViewRows ? Line - ViewRows + 1 : FirstLine;
}

bool TMemoryEditor::GetCursorLine(int& Line) {
    Line = CursorLine;
    return true;
}

void TMemoryEditor::RequestSync() {
    if (OnEditEnd) OnEditEnd();
}

} // namespace kolva
