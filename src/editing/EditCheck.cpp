#include "editing/EditCheck.h"

#include "editing/ModuleEditors.h"
#include "platform/SysUtils.h"

#include <algorithm>

namespace kolva {

namespace {

std::vector<TSourceToken> TokensOf(TStringList& Lines, int LineOffset) {
    TStringsTokenizer tokenizer(Lines);
    tokenizer.SetSkipSet({tkComment});
    tokenizer.SetTolerant(true);
    std::vector<TSourceToken> tokens;
    TTokenKind kind;
    while ((kind = tokenizer.NextToken()) != tkNone)
        tokens.push_back({std::string(tokenizer.TokenText()), kind,
                          LineOffset + tokenizer.TokenLine() - 1, tokenizer.TokenColumn() - 1});
    return tokens;
}

// Placed items are those written in the text; implied ones stand for what linking missed.
bool Placed(const TCodeItem& Item) {
    return Item.StartLine >= 0 && !Item.Implied;
}

std::string OwnerPath(const TCodeItem& Item) {
    std::string path;
    for (const TCodeItem* p = Item.Parent(); p && p->Kind() != ckModule; p = p->Parent())
        path = p->GetQualifiedName() + "/" + path;
    return path;
}

// Kind, owner and name: what a changed item must still read as.
std::string ShapeKey(const TCodeItem& Item, const std::string& Owner) {
    return std::to_string(int(Item.Kind())) + '\x1f' + Owner + '\x1f' +
           UpperCase(Item.GetQualifiedName());
}

std::string Describe(const TCodeItem& Item) {
    std::string owner;
    for (const TCodeItem* p = Item.Parent(); p && p->Kind() != ckModule; p = p->Parent())
        owner = p->GetQualifiedName() + (owner.empty() ? "" : ".") + owner;
    if (Item.Kind() == ckVisibility)
        return Format("the %s section of %s", Item.GetDisplayText(), owner);
    return TModuleEditor::KindWord(Item) + " " + (owner.empty() ? "" : owner + ".") +
           Item.GetQualifiedName();
}

// The first message of Errors that Known does not hold.
std::string NewError(const std::vector<std::string>& Errors,
                     const std::vector<std::string>& Known) {
    for (const std::string& error : Errors)
        if (std::find(Known.begin(), Known.end(), error) == Known.end()) return error;
    return Errors.empty() ? std::string() : Errors.front();
}

int ImpliedCount(const TCodeItem& Item) {
    int count = Item.Implied ? 1 : 0;
    for (const TCodeItem* child : Item.Children())
        count += ImpliedCount(*child);
    return count;
}

const TCodeItem* FirstImplied(const TCodeItem& Item) {
    for (const TCodeItem* child : Item.Children()) {
        if (child->Implied && child->Kind() != ckClass) return child;
        if (const TCodeItem* inner = FirstImplied(*child)) return inner;
    }
    return nullptr;
}

// Members named by a property's access clauses but declared below it: a compiler wants
// them declared first. The first such pair is kept for the message.
int UsesBeforeDeclaration(const TCodeItem& Module, std::string* First) {
    int count = 0;
    for (const TCodeItem* cls : Module.Children()) {
        if (!IsClassKind(cls->Kind())) continue;
        for (const TCodeItem* child : cls->Children()) {
            if (child->Kind() != ckProperty || child->StartLine < 0) continue;
            const auto& property = static_cast<const TPropertyItem&>(*child);
            for (const std::string* name :
                 {&property.ReadSpec, &property.WriteSpec, &property.StoredSpec}) {
                const int at = name->empty() ? -1 : cls->FindChild({ckField, ckMethod}, *name);
                if (at < 0 || cls->Child(at)->StartLine <= property.StartLine) continue;
                if (First && count == 0)
                    *First = Format("%s would be declared below property %s, which uses it", *name,
                                    property.Name);
                ++count;
            }
        }
    }
    return count;
}

[[noreturn]] void Refuse(const std::string& Why) {
    throw EEditRefused(Format("Edit refused: %s. The unit is left as it was", Why));
}

} // namespace

std::vector<TSourceToken> SourceTokens(const TStringList& Lines, int First, int Last) {
    TStringList part;
    First = std::max(First, 0);
    for (int i = First; i <= Last && i < Lines.Count(); ++i)
        part.Add(Lines[i]);
    return TokensOf(part, First);
}

std::vector<TSourceToken> SourceTokens(const std::string& Text) {
    TStringList lines;
    lines.SetText(Text);
    return TokensOf(lines, 0);
}

// ---------------------------------------------------------------------------------------
// The snapshot

void TEditCheck::Start(TModuleExplorer& Explorer) {
    Stop();
    FActive = true;
    for (TCodeItem* child : Explorer.Module().Children())
        Collect(*child, std::string());
    FErrorCount = Explorer.ErrorCount();
    FErrors = Explorer.Errors();
    FImpliedCount = ImpliedCount(Explorer.Module());
    FLateUses = UsesBeforeDeclaration(Explorer.Module(), nullptr);
}

void TEditCheck::Stop() {
    FActive = false;
    FEntries.clear();
    FIndex.clear();
    FChanged.clear();
    FDeleted.clear();
}

void TEditCheck::Collect(TCodeItem& Item, const std::string& Owner) {
    if (!Placed(Item)) return;
    const size_t index = FEntries.size();
    std::string declaration = Item.GetDeclaration();
    std::string key = ShapeKey(Item, Owner) + '\x1f' + declaration;
    FEntries.push_back({&Item, std::move(key), std::move(declaration), Describe(Item), 0});
    FIndex.emplace(&Item, index);
    const std::string inner = Owner + Item.GetQualifiedName() + "/";
    for (TCodeItem* child : Item.Children())
        Collect(*child, inner);
    FEntries[index].SubtreeEnd = FEntries.size();
}

void TEditCheck::MarkChanged(const TCodeItem* Item) {
    if (!FActive || !Item) return;
    FChanged.insert(Item);
    FDeleted.erase(Item);
}

void TEditCheck::MarkDeleted(const TCodeItem* Item) {
    if (!FActive || !Item) return;
    FChanged.insert(Item);
    FDeleted.insert(Item);
}

const std::string* TEditCheck::OldDeclaration(const TCodeItem* Item) const {
    const auto it = FIndex.find(Item);
    return it == FIndex.end() ? nullptr : &FEntries[it->second].Declaration;
}

bool TEditCheck::IsChanged(size_t Index) const {
    return FChanged.count(FEntries[Index].Item) > 0;
}

// ---------------------------------------------------------------------------------------
// The comparison

namespace {

struct TReadBack {
    std::unordered_map<std::string, int> Keys;
    std::unordered_set<std::string> Shapes;

    void Add(TCodeItem& Item, const std::string& Owner) {
        if (!Placed(Item)) return;
        const std::string shape = ShapeKey(Item, Owner);
        ++Keys[shape + '\x1f' + Item.GetDeclaration()];
        Shapes.insert(shape);
        const std::string inner = Owner + Item.GetQualifiedName() + "/";
        for (TCodeItem* child : Item.Children())
            Add(*child, inner);
    }
};

// The items the operation changed and left in the model: each must read back as itself.
void CheckChanged(const TCodeItem& Item, const std::unordered_set<const TCodeItem*>& Changed,
                  const std::unordered_set<const TCodeItem*>& Deleted, const TReadBack& Result) {
    for (const TCodeItem* child : Item.Children()) {
        if (!Placed(*child) || Deleted.count(child)) continue;
        if (Changed.count(child) && !Result.Shapes.count(ShapeKey(*child, OwnerPath(*child))))
            Refuse(Format("%s would not be read back where it was written", Describe(*child)));
        CheckChanged(*child, Changed, Deleted, Result);
    }
}

} // namespace

void TEditCheck::Verify(TModuleExplorer& Model, TStringList& Lines) const {
    TModuleExplorer check;
    check.Options = Model.Options;
    check.ImplementationOnly = Model.ImplementationOnly;
    try {
        check.Parse(&Lines);
    } catch (const std::exception& E) {
        Refuse(Format("the result could not be read (%s)", E.what()));
    }
    TReadBack result;
    for (TCodeItem* child : check.Module().Children())
        result.Add(*child, std::string());

    for (size_t i = 0; i < FEntries.size();) {
        if (IsChanged(i)) {
            i = FEntries[i].SubtreeEnd;
            continue;
        }
        auto it = result.Keys.find(FEntries[i].Key);
        if (it == result.Keys.end() || it->second == 0)
            Refuse(Format("%s would be lost or changed", FEntries[i].Description));
        --it->second;
        ++i;
    }
    CheckChanged(Model.Module(), FChanged, FDeleted, result);
    if (check.ErrorCount() > FErrorCount)
        Refuse(Format("the result would hold a declaration that cannot be read (%s)",
                      NewError(check.Errors(), FErrors)));
    std::string lateUse;
    if (UsesBeforeDeclaration(check.Module(), &lateUse) > FLateUses) Refuse(lateUse);
    if (ImpliedCount(check.Module()) > FImpliedCount) {
        const TCodeItem* implied = FirstImplied(check.Module());
        Refuse(implied ? Format("%s would have no declaration", Describe(*implied))
                       : std::string("an implementation would have no declaration"));
    }
}

} // namespace kolva
