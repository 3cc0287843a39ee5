// Rearranging: the members of a class and the implementations of its methods, or the
// procedures of a unit, written again in an order the user chose. Text moves in whole blocks
// (an item's lines with the comment lines right above it); nothing is regenerated unless the
// user asks for it, and what cannot move without changing the meaning is refused.
#include "editing/ModuleEditors.h"
#include "editing/SourceScan.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>

namespace kolva {

struct TModuleEditor::TBlock {
    TCodeItem* Item;
    int First; // the first comment line above the item, else its start line
    int Last;
};

namespace {

constexpr TCodeItems MemberKinds = {ckField, ckMethod, ckProperty, ckResClause};

bool ByLine(const TCodeItem* A, const TCodeItem* B) {
    return A->StartLine < B->StartLine;
}

bool IsConditional(const TSourceToken& Token) {
    if (Token.Kind != tkDirective) return false;
    const std::string word =
        UpperCase(Token.Text.substr(0, std::min<size_t>(Token.Text.size(), 7)));
    return word.starts_with("{$IF") || word.starts_with("{$ELSE") || word.starts_with("{$END");
}

// The lines of First..Last that hold a token (comments are no tokens).
std::set<int> TokenLines(const std::vector<TSourceToken>& Tokens) {
    std::set<int> lines;
    for (const TSourceToken& token : Tokens)
        lines.insert(token.Line);
    return lines;
}

[[noreturn]] void Refuse(const TCodeItem& Container, const std::string& Why) {
    throw Exception(Format("Cannot rearrange %s: %s",
                           Container.Kind() == ckModule ? std::string("the unit")
                                                        : Container.GetQualifiedName(),
                           Why));
}

// Each item of Order once, all of them from Allowed.
void CheckOrder(const TCodeItem& Container, const TItemList& Order, const TItemList& Allowed) {
    std::set<const TCodeItem*> seen;
    for (const TCodeItem* item : Order) {
        if (std::find(Allowed.begin(), Allowed.end(), item) == Allowed.end())
            Refuse(Container, Format("%s is not one of the items it reorders", item->Name));
        if (!seen.insert(item).second) Refuse(Container, Format("%s is listed twice", item->Name));
    }
}

} // namespace

TRearrangeItems TModuleEditor::RearrangeItems(TCodeItem& Container) const {
    TRearrangeItems items;
    if (Container.Kind() == ckModule) {
        const int impl = FExplorer.ImplementationLine();
        for (TCodeItem* child : Container.Children()) {
            auto* proc = dynamic_cast<TProcData*>(child);
            if (!proc || proc->Implied || proc->StartLine < 0) continue;
            if (impl >= 0 && proc->StartLine < impl) {
                items.Declarations.push_back(proc);
                continue;
            }
            // A forward declaration stays where it is: the bodies after it rely on it.
            const TProcItem* decl = proc->DeclarationLink();
            const bool declaredInInterface =
                decl && decl->StartLine >= 0 && impl >= 0 && decl->StartLine < impl;
            if (!proc->Directives.Contains(pdForward) && !declaredInInterface)
                items.Implementations.push_back(proc);
        }
        return items;
    }
    for (TCodeItem* child : Container.Children()) {
        if (!MemberKinds.Contains(child->Kind()) || child->StartLine < 0) continue;
        items.Declarations.push_back(child);
        if (child->Kind() != ckMethod) continue;
        TProcItem* impl = static_cast<TMethodItem*>(child)->ImplementationLink();
        if (impl && impl->StartLine >= 0) items.Implementations.push_back(impl);
    }
    std::stable_sort(items.Implementations.begin(), items.Implementations.end(), ByLine);
    return items;
}

void TModuleEditor::CheckRearrange(TCodeItem& Container) const {
    const TRearrangeItems items = RearrangeItems(Container);
    if (items.Declarations.size() < 2 && items.Implementations.size() < 2)
        throw Exception("Nothing to rearrange");
}

void TModuleEditor::Rearrange(TCodeItem& Container, const TItemList& DeclarationOrder,
                              TRearrangeOptions Options, const TItemList& ImplementationOrder) {
    if (DeclarationOrder.empty() && ImplementationOrder.empty()) return;
    if (!Options.Contains(roRearrangeInterface) && !Options.Contains(roRearrangeImplementation))
        return;
    const bool module = Container.Kind() == ckModule;
    if (!module && !IsTypeWithMembers(Container.Kind())) NotImplemented(std::string());
    if (Container.StartLine < 0 && !module)
        throw Exception(
            Format("Cannot perform operation on bad formatted item %s", Container.Name));
    const TRearrangeItems allowed = RearrangeItems(Container);
    CheckOrder(Container, DeclarationOrder, allowed.Declarations);
    CheckOrder(Container, ImplementationOrder, allowed.Implementations);

    TEdit edit(*this, false);
    // The implementations lie below the declarations, so moving them first leaves every
    // declaration where the model says it is.
    if (Options.Contains(roRearrangeImplementation) && !ImplementationOrder.empty())
        MoveBlocks(Container, ImplementationOrder, false);
    if (Options.Contains(roRearrangeInterface) && !DeclarationOrder.empty()) {
        if (module)
            MoveBlocks(Container, DeclarationOrder, Options.Contains(roReformat));
        else
            RebuildClass(static_cast<TClassItem&>(Container), DeclarationOrder,
                         Options.Contains(roReformat));
    }
    edit.Commit();
}

TModuleEditor::TBlock TModuleEditor::BlockOf(TCodeItem& Item, int Floor) const {
    TBlock block{&Item, Item.StartLine, Item.LastLine()};
    if (Floor >= Item.StartLine) return block;
    const std::set<int> code = TokenLines(SourceTokens(*FLines, Floor, Item.StartLine - 1));
    while (block.First > Floor && !IsBlankLine(block.First - 1) && !code.contains(block.First - 1))
        --block.First;
    return block;
}

// The blocks of Order (routines of the module, or declarations of its interface part) go,
// in that order and one blank line apart, where the first of them was. Nothing but routines,
// blank lines and comments may stand between them, and no routine may end up after one that
// uses it while only the implementation part declares it.
void TModuleEditor::MoveBlocks(TCodeItem& Container, const TItemList& Order, bool Regenerate) {
    TItemList siblings;
    for (TCodeItem* child : FExplorer.Module().Children())
        if (child->StartLine >= 0) siblings.push_back(child);
    std::stable_sort(siblings.begin(), siblings.end(), ByLine);
    const auto floorOf = [&](const TCodeItem& Item) {
        int floor = 0;
        for (const TCodeItem* sibling : siblings)
            if (sibling != &Item && sibling->LastLine() < Item.StartLine)
                floor = std::max(floor, sibling->LastLine() + 1);
        return floor;
    };

    std::vector<TBlock> blocks;
    for (TCodeItem* item : Order)
        if (item->StartLine >= 0) blocks.push_back(BlockOf(*item, floorOf(*item)));
    if (blocks.empty()) return;
    int at = LineCount(), end = 0;
    for (const TBlock& block : blocks) {
        at = std::min(at, block.First);
        end = std::max(end, block.Last);
    }

    const std::vector<TSourceToken> tokens = SourceTokens(*FLines, at, end);
    for (const TSourceToken& token : tokens) {
        if (IsConditional(token))
            Refuse(Container, Format("line %d lies in a conditional block", token.Line + 1));
        const bool inRoutine = std::any_of(siblings.begin(), siblings.end(), [&](auto* S) {
            return IsRoutineKind(S->Kind()) && S->StartLine <= token.Line &&
                   token.Line <= S->LastLine();
        });
        if (!inRoutine)
            Refuse(Container, Format("line %d holds a declaration between the routines it moves",
                                     token.Line + 1));
    }
    // After the move, every block stands before the later blocks and before the routines
    // that stood between the blocks.
    const auto declaredAbove = [&](const std::string& Name) {
        return std::any_of(siblings.begin(), siblings.end(), [&](auto* S) {
            return S->StartLine < at && S->Kind() == ckProcedure && SameText(S->Name, Name);
        });
    };
    for (size_t i = 0; i < blocks.size(); ++i) {
        TItemList after;
        for (size_t j = i + 1; j < blocks.size(); ++j)
            after.push_back(blocks[j].Item);
        for (TCodeItem* sibling : siblings)
            if (sibling->Kind() == ckProcedure && sibling->StartLine >= at &&
                sibling->StartLine <= end &&
                std::none_of(blocks.begin(), blocks.end(),
                             [&](const TBlock& B) { return B.Item == sibling; }))
                after.push_back(sibling);
        // The body only: a heading names the routine itself, and its overloads share the name.
        const std::vector<TSourceToken> own =
            SourceTokens(*FLines, HeadEnd(*blocks[i].Item) + 1, blocks[i].Last);
        for (const TCodeItem* later : after) {
            if (later->Kind() != ckProcedure || declaredAbove(later->Name)) continue;
            if (std::any_of(own.begin(), own.end(), [&](const TSourceToken& T) {
                    return T.Kind == tkWord && SameText(T.Text, later->Name);
                }))
                Refuse(Container, Format("%s uses %s, which would then come after it",
                                         blocks[i].Item->Name, later->Name));
        }
    }

    FScratch.Clear();
    for (const TBlock& block : blocks) {
        for (int line = block.First; line < block.Item->StartLine; ++line)
            FScratch.Add((*FLines)[line]);
        if (Regenerate)
            WriteDeclaration(*block.Item, FScratch);
        else
            for (int line = block.Item->StartLine; line <= block.Last; ++line)
                FScratch.Add((*FLines)[line]);
        FScratch.Add(std::string());
    }
    FScratch.Delete(FScratch.Count() - 1);
    TStringList text;
    text.Assign(FScratch);

    std::vector<TBlock> bottomUp = blocks;
    std::sort(bottomUp.begin(), bottomUp.end(),
              [](const TBlock& A, const TBlock& B) { return A.First > B.First; });
    // With the blank lines after each block, so that the blocks end up one blank line apart
    // however far apart they were, and a second run changes nothing.
    for (const TBlock& block : bottomUp) {
        int last = block.Last;
        while (IsBlankLine(last + 1))
            ++last;
        RemoveLines(block.Item, block.First, last - block.First + 1);
    }
    FScratch.Assign(text);
    if (!IsBlankLine(at - 1)) FScratch.Insert(0, std::string());
    if (!IsBlankLine(at)) FScratch.Add(std::string());
    PutScratch(nullptr, at);
}

// The class is written again from its heading, the member blocks in the new order with
// the visibility keyword lines they need, the comments after the last member and its end.
// Only what the class's lines hold in such pieces can be rearranged this way.
void TModuleEditor::RebuildClass(TClassItem& Class, const TItemList& Order, bool Reformat) {
    const int head = HeadEnd(Class), last = Class.LastLine();
    for (const TCodeItem* child : Class.Children())
        if (child->StartLine >= 0 && !MemberKinds.Contains(child->Kind()) &&
            child->Kind() != ckVisibility)
            Refuse(Class, "it declares nested types, constants or class variables");

    // Sort every line of the body: member lines, keyword lines, comments, the GUID.
    TItemList members;
    for (TCodeItem* child : Class.Children())
        if (MemberKinds.Contains(child->Kind()) && child->StartLine >= 0) members.push_back(child);
    std::stable_sort(members.begin(), members.end(), ByLine);
    std::vector<const TCodeItem*> owner(size_t(std::max(last - head, 0)), nullptr);
    const auto ownerOf = [&](int Line) -> const TCodeItem*& { return owner[size_t(Line - head)]; };
    for (const TCodeItem* member : members) {
        if (member->StartLine <= head || member->LastLine() >= last)
            Refuse(Class, Format("%s shares a line with the class's heading or end", member->Name));
        for (int line = member->StartLine; line <= member->LastLine(); ++line) {
            if (ownerOf(line))
                Refuse(Class, Format("%s shares a line with another member", member->Name));
            ownerOf(line) = member;
        }
    }
    int headingEnd = head;
    const std::vector<TSourceToken> tokens = SourceTokens(*FLines, head + 1, last - 1);
    for (const TSourceToken& token : tokens) {
        if (ownerOf(token.Line)) continue;
        if (IsConditional(token)) Refuse(Class, "its members lie in conditional blocks");
        const bool guid = token.Line == headingEnd + 1 && token.Text == "[";
        if (guid || (token.Line == headingEnd && headingEnd > head)) {
            headingEnd = token.Line; // an interface's GUID belongs to the heading
            continue;
        }
        const bool keyword =
            std::any_of(Class.Children().begin(), Class.Children().end(), [&](const TCodeItem* C) {
                return C->Kind() == ckVisibility && C->StartLine == token.Line &&
                       SameText(Trim((*FLines)[token.Line]), KeywordText(C->Visibility));
            });
        if (!keyword)
            Refuse(Class, Format("line %d holds text that belongs to no member", token.Line + 1));
    }

    // Comment lines go with the member after them (blank lines between them and it with
    // them); those after the last member stay before the end.
    std::map<int, const TCodeItem*> keywordLines;
    for (const TCodeItem* child : Class.Children())
        if (child->Kind() == ckVisibility && child->StartLine > headingEnd)
            keywordLines[child->StartLine] = child;
    const std::set<int> code = TokenLines(tokens);
    std::unordered_map<const TCodeItem*, std::vector<int>> leads;
    std::vector<int> pending;
    for (int line = headingEnd + 1; line < last; ++line) {
        if (const TCodeItem* member = ownerOf(line)) {
            leads[member] = std::move(pending);
            pending.clear();
            line = member->LastLine();
        } else if (IsBlankLine(line)) {
            if (!pending.empty()) pending.push_back(line);
        } else if (!keywordLines.contains(line) && !code.contains(line)) {
            pending.push_back(line);
        }
    }
    while (!pending.empty() && IsBlankLine(pending.back()))
        pending.pop_back();

    // Members left out of Order follow in their order; those of the unnamed first section
    // can only stay first.
    TItemList order = Order;
    for (TCodeItem* member : members)
        if (std::find(order.begin(), order.end(), member) == order.end()) order.push_back(member);
    std::stable_partition(order.begin(), order.end(),
                          [](const TCodeItem* M) { return M->Visibility == scDefault; });
    const std::string indent(size_t(std::max(Class.StartColumn, 0)), ' ');
    TStringList text;
    for (int line = Class.StartLine; line <= headingEnd; ++line)
        text.Add((*FLines)[line]);
    // A section without members keeps its keyword line, after the unnamed section.
    std::vector<const TCodeItem*> emptySections;
    for (const auto& entry : keywordLines) {
        // Not a structured binding: clang 14 cannot capture one in a lambda.
        const int line = entry.first;
        const auto next = keywordLines.upper_bound(line);
        const int limit = next == keywordLines.end() ? last : next->first;
        if (std::none_of(members.begin(), members.end(), [&](const TCodeItem* M) {
                return M->StartLine > line && M->StartLine < limit;
            }))
            emptySections.push_back(entry.second);
    }
    TVisibility current = scDefault;
    bool previousWasField = true;
    for (TCodeItem* member : order) {
        if (member->Visibility != scDefault && !emptySections.empty()) {
            for (const TCodeItem* section : emptySections)
                text.Add((*FLines)[section->StartLine]);
            current = emptySections.back()->Visibility;
            emptySections.clear();
        }
        const bool field = member->Kind() == ckField;
        if (member->Visibility != current || (field && !previousWasField)) {
            current = member->Visibility;
            if (current != scDefault) text.Add(indent + KeywordText(current));
        }
        previousWasField = field;
        for (int line : leads[member])
            text.Add((*FLines)[line]);
        if (Reformat) {
            member->StartColumn = Class.StartColumn + ModuleEditorOptions().BlockIndention();
            WriteDeclaration(*member, text);
        } else {
            for (int line = member->StartLine; line <= member->LastLine(); ++line)
                text.Add((*FLines)[line]);
        }
    }
    for (const TCodeItem* section : emptySections)
        text.Add((*FLines)[section->StartLine]);
    for (int line : pending)
        text.Add((*FLines)[line]);
    text.Add((*FLines)[last]);

    RemoveLines(&Class, Class.StartLine, last - Class.StartLine + 1);
    FScratch.Assign(text);
    PutScratch(&Class, Class.StartLine);
}

} // namespace kolva
