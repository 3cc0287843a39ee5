// The module editor's edit bracket, its two line primitives and the helpers that place and
// write declarations.
#include "editing/EditInterfaces.h"
#include "editing/ModuleEditors.h"
#include "editing/SourceScan.h"
#include "model/TextStrm.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <cassert>
#include <exception>

namespace kolva {

int HeadEnd(const TCodeItem& Item) {
    return std::max(Item.StartLine, Item.DeclEndLine);
}

int BodyStart(const TCodeItem& Item) {
    const auto* proc = dynamic_cast<const TProcItem*>(&Item);
    return std::max(HeadEnd(Item), proc ? proc->BodyStartLine : 0);
}

TModuleEditor::TModuleEditor(TModuleExplorer& Explorer, TEditSynchronizer* Synchronizer)
    : FExplorer(Explorer), FSynchronizer(Synchronizer) {}

TModuleEditor::~TModuleEditor() = default;

void TModuleEditor::SetSynchronizer(TEditSynchronizer* Value) {
    if (Value == FSynchronizer) return;
    if (FSynchronizer && FSynchronizer->IsEditing()) FSynchronizer->CancelEdit();
    FSynchronizer = Value;
    FLines = nullptr;
    FDepth = 0;
    FStage.Reset(TStringList());
    FCheck.Stop();
}

void TModuleEditor::OpenEdit(bool ReadOnly) {
    if (!FSynchronizer) Abort();
    TStringList& text = FSynchronizer->BeginEdit(ReadOnly);
    if (FDepth++ == 0) {
        FStage.Reset(text);
        FCheck.Start(FExplorer);
    }
    FLines = &FStage.Text();
}

void TModuleEditor::FinishEdit(bool Commit) {
    if (!FSynchronizer || FDepth == 0) return;
    if (--FDepth > 0) {
        FSynchronizer->EndEdit();
        return;
    }
    FLines = nullptr;
    // However it ends, the synchroniser's edit is closed, which parses the unit again: the
    // model then matches the text again, whatever the operation did to its items.
    const auto drop = [this] {
        FStage.Reset(TStringList());
        FTrailing.clear();
        FCheck.Stop();
    };
    if (Commit && HasStagedChanges()) {
        try {
            FCheck.Verify(FExplorer, FStage.Text());
            Replay();
        } catch (...) {
            drop();
            try {
                FSynchronizer->EndEdit();
            } catch (...) {
            }
            throw;
        }
    }
    drop();
    FSynchronizer->EndEdit();
}

void TModuleEditor::Replay() {
    TStringList lines;
    for (const TMemoryEditor::TStep& step : FStage.Steps()) {
        if (!step.Inserted) {
            FSynchronizer->DeleteLines(step.Line, int(step.Lines.size()));
            continue;
        }
        lines.Clear();
        for (const std::string& line : step.Lines)
            lines.Add(line);
        FSynchronizer->InsertLines(step.Line, lines);
    }
}

TModuleEditor::TEdit::TEdit(TModuleEditor& Editor, bool ReadOnly)
    : FEditor(Editor), FUncaught(std::uncaught_exceptions()) {
    FEditor.OpenEdit(ReadOnly);
}

void TModuleEditor::TEdit::Commit() {
    FOpen = false;
    FEditor.FinishEdit(true);
}

// Abandoning never raises: the error on its way out, if any, is what the caller must see.
TModuleEditor::TEdit::~TEdit() {
    if (!FOpen) return;
    // Staged changes at the outermost level without an error in flight mean a successful
    // path that forgot its Commit(): the text stays safe, but the operation did nothing.
    assert(std::uncaught_exceptions() > FUncaught || FEditor.FDepth > 1 ||
           !FEditor.HasStagedChanges());
    try {
        FEditor.FinishEdit(false);
    } catch (...) {
    }
}

TStringList& TModuleEditor::Lines() const {
    if (!FLines) throw Exception("No edit is open");
    return *FLines;
}

int TModuleEditor::LineCount() const {
    return FLines ? FLines->Count() : 0;
}

void TModuleEditor::RemoveLines(const TCodeItem* Item, int First, int Count) {
    if (Count <= 0) return;
    Lines(); // an edit must be open
    FStage.DeleteLines(First, Count);
    FCheck.MarkChanged(Item);
    FExplorer.ShiftLinesDeleted(Item, First, Count);
}

void TModuleEditor::PutScratch(const TCodeItem* Item, int Line) {
    if (FScratch.Count() == 0) return;
    Lines();
    FStage.InsertLines(Line, FScratch);
    FCheck.MarkChanged(Item);
    FExplorer.ShiftLinesInserted(Item, Line, FScratch.Count());
}

bool TModuleEditor::IsBlankLine(int Line) const {
    if (Line < 0 || Line >= LineCount()) return false;
    for (char c : (*FLines)[Line])
        if (static_cast<unsigned char>(c) > 32) return false;
    return true;
}

void TModuleEditor::IndentLines(TStringList& List, int First, int Last, int N) {
    if (N == 0) return;
    Last = std::min(Last, List.Count() - 1);
    for (int i = std::max(First, 0); i <= Last; ++i) {
        const std::string& line = List[i];
        if (N > 0) {
            List.SetString(i, std::string(size_t(N), ' ') + line);
        } else {
            size_t cut = 0;
            while (cut < line.size() && cut < size_t(-N) && line[cut] == ' ')
                ++cut;
            List.SetString(i, line.substr(cut));
        }
    }
}

void TModuleEditor::WriteDeclaration(TCodeItem& Item, TStringList& List) {
    FCheck.MarkChanged(&Item);
    const int first = List.Count();
    const TModuleEditorOptions& options = ModuleEditorOptions();
    {
        TStringsText text(List);
        text.SetIndex(List.Count());
        TWrapFilter wrap(text, options.WrapMargin(), options.WrapIndention());
        // A declaration may span lines of its own (an interface's GUID line).
        const std::string declaration = Item.GetDeclaration();
        size_t start = 0;
        for (;;) {
            const size_t end = declaration.find("\r\n", start);
            wrap.WriteLine(std::string_view(declaration).substr(start, end - start));
            if (end == std::string::npos) break;
            start = end + 2;
        }
    }
    IndentLines(List, first, List.Count() - 1, Item.StartColumn);
}

namespace {
bool IsRoutine(const TCodeItem* Item) {
    return Item && IsRoutineKind(Item->Kind());
}
} // namespace

int TModuleEditor::OutsideConditionals(int Line) {
    int from = FExplorer.ImplementationLine() >= 0 && Line > FExplorer.ImplementationLine()
                   ? FExplorer.ImplementationLine()
                   : 0;
    if (TCodeItem* item = FExplorer.ItemAtLine(std::min(Line, LineCount() - 1))) {
        while (item->Parent() && item->Parent()->Kind() != ckModule)
            item = item->Parent();
        if (item->StartLine >= 0 && item->StartLine < Line) from = item->StartLine;
    }
    return AfterConditionals(Lines(), from, Line);
}

void TModuleEditor::InsertDeclaration(TCodeItem& Item, int Line) {
    TEdit edit(*this, false);
    Line = OutsideConditionals(Line);
    FScratch.Clear();
    WriteDeclaration(Item, FScratch);
    const int declarationLines = FScratch.Count();
    if (auto it = FTrailing.find(&Item); it != FTrailing.end() && declarationLines > 0) {
        FScratch.SetString(declarationLines - 1, FScratch[declarationLines - 1] + " " + it->second);
        FTrailing.erase(it);
    }
    const TCodeItemKind kind = Item.Kind();
    const bool routine = kind == ckProcedure || kind == ckMethodImpl;
    int leading = 0;
    if ((routine || IsClassKind(kind)) && !IsBlankLine(Line - 1)) {
        FScratch.Insert(0, std::string());
        leading = 1;
    }
    if (routine && !IsBlankLine(Line)) FScratch.Add(std::string());
    PutScratch(&Item, Line);
    // The declaration itself starts after the blank line put before it.
    Item.StartLine = Line + leading;
    Item.DeclEndLine = Item.StartLine + declarationLines - 1;
    edit.Commit();
}

void TModuleEditor::InsertImplementation(TProcItem& Item, int Line) {
    // A unit whose implementation part comes from an include file has no place for a body.
    if (IsUnit() && FExplorer.ImplementationLine() < 0)
        throw Exception(Format("Cannot add the implementation of %s: this file holds no "
                               "implementation part",
                               Item.Name));
    TEdit edit(*this, false);
    Line = OutsideConditionals(Line);
    FScratch.Clear();
    WriteDeclaration(Item, FScratch);
    const int heading = FScratch.Count();
    const int leading = IsBlankLine(Line - 1) ? 0 : 1;
    if (leading) FScratch.Insert(0, std::string());
    const bool body = !Item.Directives.Contains(pdForward) && !Item.Directives.Contains(pdExternal);
    if (body) {
        const std::string indent(size_t(std::max(Item.StartColumn, 0)), ' ');
        FScratch.Add(indent + "begin");
        FScratch.Add(indent + "  ");
        FScratch.Add(indent + "end;");
    }
    // Also after a body-less (forward or external) heading, so it does not touch what follows.
    if (!IsBlankLine(Line)) FScratch.Add(std::string());
    PutScratch(&Item, Line);
    // Placed where it was written, until the unit is parsed again.
    Item.StartLine = Line + leading;
    Item.DeclEndLine = Item.StartLine + heading - 1;
    Item.BodyStartLine = body ? Item.DeclEndLine + 1 : 0;
    Item.EndLine = body ? Item.DeclEndLine + 3 : 0;
    edit.Commit();
}

void TModuleEditor::DeleteItems(TItemList Items) {
    std::stable_sort(Items.begin(), Items.end(), [](const TCodeItem* a, const TCodeItem* b) {
        return a->StartLine < b->StartLine;
    });
    for (auto it = Items.rbegin(); it != Items.rend(); ++it)
        DeleteItem(**it);
}

int TModuleEditor::DeclarationLine(TCodeItem* Item, bool InInterface) {
    if (FExplorer.ModuleKind() == mkNoHeading) return 0;
    const int count = LineCount();
    if (IsRoutine(Item)) return std::min(HeadEnd(*Item) + 1, count);
    // A unit cut short before "implementation" gets its declarations at the end.
    const int impl = FExplorer.ImplementationLine() < 0 ? count : FExplorer.ImplementationLine();
    const TModuleItem& module = FExplorer.Module();
    int line = impl + 1;
    if (InInterface) {
        // After the last item of the interface part.
        line = impl;
        for (const TCodeItem* item : module.Children())
            if (item->StartLine >= 0 && item->StartLine < impl) line = item->LastLine() + 1;
    } else {
        const TCodeItem* firstPrivate = nullptr;
        const TCodeItem* firstImpl = nullptr;
        const TCodeItem* uses = nullptr;
        for (const TCodeItem* item : module.Children()) {
            if (item->StartLine < 0) continue;
            if (!firstPrivate && item->Kind() == ckProcedure && item->Visibility == scPrivate)
                firstPrivate = item;
            if (!firstImpl && item->Kind() == ckMethodImpl) firstImpl = item;
            if (!uses && item->Kind() == ckUses && item->StartLine >= impl) uses = item;
        }
        if (firstPrivate)
            line = firstPrivate->StartLine;
        else if (firstImpl)
            line = firstImpl->StartLine;
        else if (uses)
            line = uses->LastLine() + 1;
    }
    return AfterSectionDeclarations(Lines(), std::min(line, count));
}

int TModuleEditor::ImplementationLine(TCodeItem* Item) {
    const int count = LineCount();
    if (IsRoutine(Item)) return std::min(BodyStart(*Item), count);
    const int impl = FExplorer.ImplementationLine();
    const TCodeItem* lastProc = nullptr;
    const TCodeItem* firstAfter = nullptr;
    for (const TCodeItem* item : FExplorer.Module().Children()) {
        if (item->StartLine < 0 || item->StartLine < impl) continue;
        if (item->Kind() == ckProcedure) lastProc = item;
        if (!firstAfter) firstAfter = item;
    }
    int line = impl + 1;
    if (lastProc)
        line = lastProc->LastLine() + 1;
    else if (firstAfter)
        line = firstAfter->LastLine() + 1;
    return AfterSectionDeclarations(Lines(), std::min(line, count));
}

void TModuleEditor::NotImplemented(const std::string& What) {
    throw Exception(Format("%s is not implemented yet", What.empty() ? "This function" : What));
}

} // namespace kolva
