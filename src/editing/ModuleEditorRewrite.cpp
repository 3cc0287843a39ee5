// The module editor's rewriting and deleting of one item's lines. Both refuse, before
// changing anything, when the lines hold more than the item: another declaration, a body
// begun on a heading's line, a directive or hint the model does not keep. A rename, and any
// change that only replaces words of a declaration, edits those words where they stand, so
// the layout, comments and conditional directives of the heading stay as they were.
#include "editing/ModuleEditors.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <map>

namespace kolva {

namespace {

[[noreturn]] void RefuseBadFormat(const TCodeItem& Item) {
    throw Exception(Format("Cannot perform operation on bad formatted item %s", Item.Name));
}

bool IsInside(const TCodeItem* Item, const TCodeItem* Outer) {
    for (const TCodeItem* p = Item; p; p = p->Parent())
        if (p == Outer) return true;
    return false;
}

bool Overlaps(int A1, int A2, int B1, int B2) {
    return A1 <= B2 && B1 <= A2;
}

// Whether another item than Item, the items around it and (when Nested is allowed) the
// items inside it has a line within First..Last.
bool SharesLines(const TCodeItem& Scope, const TCodeItem& Item, int First, int Last, bool Nested) {
    for (const TCodeItem* other : Scope.Children()) {
        if (other->StartLine < 0 || other->Implied) continue;
        const int start = other->StartLine, last = other->LastLine();
        if (other == &Item) {
            if (!Nested && SharesLines(*other, Item, First, Last, Nested)) return true;
            continue;
        }
        if (IsInside(&Item, other)) {
            // Around the item: only its first and last lines may not be touched.
            if ((start >= First && start <= Last) || (last >= First && last <= Last)) return true;
            if (SharesLines(*other, Item, First, Last, Nested)) return true;
            continue;
        }
        if (IsInside(other, &Item)) {
            if (!Nested && start >= First && start <= Last) return true;
            continue;
        }
        if (Overlaps(start, last, First, Last)) return true;
    }
    return false;
}

// The multiset of a declaration's tokens, case ignored, empty "()" left out.
std::map<std::string, int> TokenCounts(const std::vector<TSourceToken>& Tokens) {
    std::map<std::string, int> counts;
    for (size_t i = 0; i < Tokens.size(); ++i) {
        if (Tokens[i].Text == "(" && i + 1 < Tokens.size() && Tokens[i + 1].Text == ")") {
            ++i;
            continue;
        }
        ++counts[UpperCase(Tokens[i].Text)];
    }
    return counts;
}

// Whether every token written is one the rendered declaration writes again.
bool Covered(const std::vector<TSourceToken>& Written, const std::vector<TSourceToken>& Rendered) {
    std::map<std::string, int> available = TokenCounts(Rendered);
    for (const auto& [text, count] : TokenCounts(Written))
        if (available[text] < count) return false;
    return true;
}

} // namespace

void TModuleEditor::CheckOwnLines(const TCodeItem& Item, int First, int Last, bool Nested) {
    const std::string& first = Lines()[First];
    const size_t column = std::min(size_t(std::max(Item.StartColumn, 0)), first.size());
    for (size_t i = 0; i < column; ++i)
        if (static_cast<unsigned char>(first[i]) > 32) RefuseBadFormat(Item);
    if (SharesLines(FExplorer.Module(), Item, First, Last, Nested)) RefuseBadFormat(Item);
}

std::vector<TSourceToken> TModuleEditor::WrittenTokens(const TCodeItem& Item, int Last) const {
    // What stands before the item on its first line belongs to something else.
    TStringList lines;
    for (int i = Item.StartLine; i <= Last; ++i)
        lines.Add(Lines()[i]);
    if (lines.Count() > 0 && Item.StartColumn > 0) {
        std::string head = lines[0];
        std::fill_n(head.begin(), std::min(head.size(), size_t(Item.StartColumn)), ' ');
        lines.SetString(0, head);
    }
    std::vector<TSourceToken> tokens = SourceTokens(lines, 0, lines.Count() - 1);
    for (TSourceToken& token : tokens)
        token.Line += Item.StartLine;
    return tokens;
}

bool TModuleEditor::ReplaceWords(TCodeItem& Item, int Last, const std::string& OldDeclaration) {
    const std::vector<TSourceToken> before = SourceTokens(OldDeclaration);
    const std::vector<TSourceToken> after = SourceTokens(Item.GetDeclaration());
    if (before.size() != after.size()) return false;
    std::vector<size_t> changed;
    for (size_t i = 0; i < before.size(); ++i) {
        if (before[i].Text == after[i].Text) continue;
        if (before[i].Kind != tkWord || after[i].Kind != tkWord) return false;
        changed.push_back(i);
    }
    if (changed.empty()) return false;
    // The words must stand where the rendered declaration has them: everything written up
    // to the last of them reads as rendered.
    const std::vector<TSourceToken> written = WrittenTokens(Item, Last);
    if (written.size() <= changed.back()) return false;
    for (size_t i = 0; i <= changed.back(); ++i)
        if (!SameText(written[i].Text, before[i].Text)) return false;
    for (auto it = changed.rbegin(); it != changed.rend(); ++it) {
        const TSourceToken& word = written[*it];
        std::string line = Lines()[word.Line];
        line.replace(size_t(word.Column), word.Text.size(), after[*it].Text);
        ReplaceLine(&Item, word.Line, line);
    }
    return true;
}

void TModuleEditor::ReplaceLine(const TCodeItem* Item, int Line, const std::string& Text) {
    if (Lines()[Line] == Text) return;
    FStage.DeleteLines(Line, 1);
    FStage.InsertLines(Line, TStringList{Text});
    FCheck.MarkChanged(Item);
}

// A comment after a declaration on its last line stays with the declaration.
std::string TModuleEditor::TrailingText(const std::vector<TSourceToken>& Written, int Last) const {
    if (Written.empty() || Written.back().Line != Last) return std::string();
    const std::string& line = Lines()[Last];
    const size_t end = size_t(Written.back().Column) + Written.back().Text.size();
    return end < line.size() ? TrimLeft(line.substr(end)) : std::string();
}

void TModuleEditor::UpdateDeclaration(TCodeItem* Item) {
    if (!Item || Item->StartLine < 0) RefuseBadFormat(Item ? *Item : FExplorer.Module());
    TEdit edit(*this, false);
    const int start = Item->StartLine;
    const int oldLast = Item->LastLine();
    std::string trailing;
    int removed = 0;
    if (LineCount() > start) {
        const int last = std::min(HeadEnd(*Item), LineCount() - 1);
        const std::string* old = FCheck.OldDeclaration(Item);
        if (old && ReplaceWords(*Item, last, *old)) return edit.Commit();
        CheckOwnLines(*Item, start, last, false);
        const std::vector<TSourceToken> written = WrittenTokens(*Item, last);
        if (old && !Covered(written, SourceTokens(*old))) RefuseBadFormat(*Item);
        trailing = TrailingText(written, last);
        removed = last - start + 1;
        RemoveLines(Item, start, removed);
    }
    FScratch.Clear();
    WriteDeclaration(*Item, FScratch);
    if (!trailing.empty() && FScratch.Count() > 0)
        FScratch.SetString(FScratch.Count() - 1, FScratch[FScratch.Count() - 1] + " " + trailing);
    PutScratch(Item, start);
    Item->EndLine = FScratch.Count() + oldLast - removed;
    Item->DeclEndLine = start + FScratch.Count() - 1;
    edit.Commit();
}

void TModuleEditor::DeleteItem(TCodeItem& Item) {
    if (LineCount() == 0 || Item.StartLine < 0) return;
    const int last = LineCount() - 1;
    const int first = std::clamp(Item.StartLine, 0, last);
    int end = std::clamp(std::max(first, Item.LastLine()), 0, last);
    CheckOwnLines(Item, first, end, true);
    // A declaration deleted to be inserted elsewhere (a member moving to another section)
    // takes the comment after it along.
    if (HeadEnd(Item) == end) {
        const std::string trailing = TrailingText(WrittenTokens(Item, end), end);
        if (!trailing.empty()) FTrailing[&Item] = trailing;
    }
    if (IsBlankLine(end + 1)) ++end;
    RemoveLines(&Item, first, end - first + 1);
    FCheck.MarkDeleted(&Item);
    // Out of the text: what the operation places or deletes next must not count it.
    Item.StartLine = -1;
}

} // namespace kolva
