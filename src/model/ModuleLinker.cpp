#include "model/ModuleLinker.h"

#include "platform/SysUtils.h"

#include <algorithm>
#include <cstring>

namespace kolva {

using TLinker = TModuleExplorer::TLinker;

namespace {

// Names compared here are mostly spelt alike: bytes first, case folded only when they differ.
bool SameName(std::string_view A, std::string_view B) {
    return A.size() == B.size() &&
           (std::memcmp(A.data(), B.data(), A.size()) == 0 || SameText(A, B));
}

// The signature of a routine's parameters; a list that has none (it cannot be read) gets a
// text of its own that equals no other.
std::string SignatureOf(const TProcItem& Item) {
    try {
        return ParamSignature(Item.Params);
    } catch (const Exception&) {
        return "\x01" + IntToStr(reinterpret_cast<intptr_t>(&Item));
    }
}

void ImplyDeclaration(TCodeItem& Class, TProcItem& Impl) {
    auto* method = new TMethodItem(&Class);
    method->AssignDeclaration(Impl);
    method->Implied = true;
    method->ImpliedDeclaration = true;
    TProcItem::Link(method, &Impl);
}

} // namespace

// ---------------------------------------------------------------------------------------
// Names and groups

void TLinker::TNameIndex::Reset(size_t Count) {
    int bits = 4;
    while ((size_t(1) << bits) < 2 * Count)
        ++bits;
    FSlots.assign(size_t(1) << bits, -1);
    FMask = (size_t(1) << bits) - 1;
    FShift = 32 - bits;
    FNames.clear();
    FHashes.clear();
}

int TLinker::TNameIndex::Add(std::string_view Name) {
    const uint32_t hash = Hash(Name);
    int& slot = FSlots[Slot(Name, hash)];
    if (slot < 0) {
        slot = Count();
        FNames.push_back(Name);
        FHashes.push_back(hash);
    }
    return slot;
}

// Agrees with SameText: or-ing 0x20 into every byte folds each ASCII letter pair together.
// Other characters may fold onto each other too, which only makes a collision that the
// comparison after a hash match sorts out. Eight bytes a round: names are long.
uint32_t TLinker::TNameIndex::Hash(std::string_view Name) {
    constexpr uint64_t fold = 0x2020202020202020ull;
    constexpr uint64_t mix = 0x9E3779B97F4A7C15ull;
    uint64_t h = Name.size();
    size_t i = 0;
    for (; i + 8 <= Name.size(); i += 8) {
        uint64_t bytes;
        std::memcpy(&bytes, Name.data() + i, 8);
        h = (h ^ (bytes | fold)) * mix;
    }
    for (; i < Name.size(); ++i)
        h = (h ^ (static_cast<unsigned char>(Name[i]) | 0x20u)) * mix;
    return static_cast<uint32_t>(h >> 32);
}

// The slot holding Name, else the free slot where it belongs: linear probing in a table
// never more than half full, starting where a Fibonacci multiplier puts the hash.
size_t TLinker::TNameIndex::Slot(std::string_view Name, uint32_t Hash) const {
    for (size_t i = (Hash * 2654435769u) >> FShift;; i = (i + 1) & FMask) {
        const int n = FSlots[i];
        if (n < 0 || (FHashes[n] == Hash && SameName(FNames[n], Name))) return i;
    }
}

void TLinker::TGroups::Sort(int GroupCount) {
    FStart.assign(size_t(GroupCount) + 1, 0);
    for (const TEntry& e : FEntries)
        ++FStart[size_t(e.Group) + 1];
    for (size_t g = 1; g < FStart.size(); ++g)
        FStart[g] += FStart[g - 1];
    FSorted.resize(FEntries.size());
    FFill.assign(FStart.begin(), FStart.end() - 1);
    for (const TEntry& e : FEntries)
        FSorted[FFill[e.Group]++] = e.Item;
}

// ---------------------------------------------------------------------------------------
// Matching

// Links Declarations and Implementations of one owner by name, the names in order of their
// first implementation; the implementations left over go to FLeftOver.
void TLinker::Match(std::span<TProcItem* const> Declarations,
                    std::span<TProcItem* const> Implementations) {
    FLeftOver.clear();
    if (Declarations.empty()) {
        FLeftOver.assign(Implementations.begin(), Implementations.end());
        return;
    }
    // Only names that have implementations matter.
    FNames.Reset(Implementations.size());
    FImpls.Clear();
    for (TProcItem* impl : Implementations)
        FImpls.Add(FNames.Add(impl->Name), impl);
    FDecls.Clear();
    for (TProcItem* decl : Declarations)
        if (const int g = FNames.Find(decl->Name); g >= 0) FDecls.Add(g, decl);
    FImpls.Sort(FNames.Count());
    FDecls.Sort(FNames.Count());
    for (int g = 0; g < FNames.Count(); ++g) {
        const auto decls = FDecls.Group(g);
        const auto impls = FImpls.Group(g);
        FDeclGroup.assign(decls.begin(), decls.end());
        FImplGroup.assign(impls.begin(), impls.end());
        MatchGroup(FDeclGroup, FImplGroup);
        FLeftOver.insert(FLeftOver.end(), FImplGroup.begin(), FImplGroup.end());
    }
}

void TLinker::ImplyLeftOver(TClassItem& Class) {
    std::stable_sort(
        FLeftOver.begin(), FLeftOver.end(),
        [](const TProcItem* a, const TProcItem* b) { return CompareText(a->Name, b->Name) < 0; });
    for (TProcItem* impl : FLeftOver)
        ImplyDeclaration(Class, *impl);
}

// Declarations and implementations of one name, in source order: each declaration takes the
// first implementation of its signature, else the first one left.
void TLinker::MatchGroup(std::vector<TProcItem*>& Decls, std::vector<TProcItem*>& Impls) {
    while (!Decls.empty() && !Impls.empty()) {
        size_t chosen = 0;
        if (Decls.size() > 1 || Impls.size() > 1) {
            const std::string signature = SignatureOf(*Decls.front());
            for (size_t k = 0; k < Impls.size(); ++k) {
                if (SameText(Signature(*Impls[k]), signature)) {
                    chosen = k;
                    break;
                }
            }
        }
        TProcItem::Link(Decls.front(), Impls[chosen]);
        Decls.erase(Decls.begin());
        Impls.erase(Impls.begin() + chosen);
    }
}

const std::string& TLinker::Signature(const TProcItem& Item) {
    auto it = FSignatures.find(&Item);
    if (it == FSignatures.end()) it = FSignatures.emplace(&Item, SignatureOf(Item)).first;
    return it->second;
}

// ---------------------------------------------------------------------------------------
// The whole module

void TLinker::CollectType(TClassItem& Class, std::string_view Prefix) {
    std::string_view name = Class.Name;
    if (!Prefix.empty()) name = FNestedNames.emplace_back(std::string(Prefix) + "." + Class.Name);
    FClasses.push_back({&Class, name, -1});
    for (TCodeItem* child : Class.Children())
        if (IsTypeWithMembers(child->Kind())) CollectType(*static_cast<TClassItem*>(child), name);
}

namespace {
// Types whose methods have implementations.
bool HoldsMethods(TCodeItemKind Kind) {
    return Kind == ckClass || Kind == ckObject || Kind == ckRecord || Kind == ckHelper;
}

// An implementation written short ("function TFoo.Get;") has its declaration's signature.
// A heading is short only where it leaves out what its declaration says; without a
// declaration in the text, only a function's heading without result stays short, so that no
// result is made up for it.
void CompleteShortHeading(TProcItem& Impl) {
    if (!Impl.ShortHeading) return;
    const TProcItem* decl = Impl.DeclarationLink();
    if (!decl || decl->Implied) {
        Impl.ShortHeading = HasResult(Impl.ProcKind);
        return;
    }
    if (decl->Params.empty() && !HasResult(decl->ProcKind)) {
        Impl.ShortHeading = false;
        return;
    }
    Impl.Params = decl->Params;
    Impl.SetResultName(decl->ResultName());
    Impl.SetDataType(decl->DataType());
    Impl.SetTypeName(decl->TypeName());
}
} // namespace

void TLinker::Link(TModuleItem& Module, int ImplementationLine) {
    FSignatures.clear(); // keyed by items of the previous model, whose memory is reused
    FClasses.clear();
    FNestedNames.clear();
    FProcs.clear();
    FClassNames.Reset(Module.Children().size());
    FImplsByClass.Clear();
    // The implementations of one class mostly follow each other.
    int lastGroup = -1;
    for (TCodeItem* item : Module.Children()) {
        if (IsTypeWithMembers(item->Kind())) {
            CollectType(*static_cast<TClassItem*>(item), std::string_view());
        } else if (item->Kind() == ckMethodImpl) {
            auto* impl = static_cast<TMethodImplItem*>(item);
            if (lastGroup < 0 || !SameName(FClassNames.Name(lastGroup), impl->ClassName))
                lastGroup = FClassNames.Add(impl->ClassName);
            FImplsByClass.Add(lastGroup, impl);
        } else if (item->Kind() == ckProcedure) {
            FProcs.push_back(static_cast<TProcData*>(item));
        }
    }
    FImplsByClass.Sort(FClassNames.Count());

    // Types of one name (declared in two conditional branches) share the implementations:
    // each takes those of its declarations, and only an implementation that none of them
    // declares gets an implied declaration, in the first.
    const size_t groups = size_t(FClassNames.Count());
    FKnown.assign(groups, false); // named by a type of any kind
    FFirstOfGroup.assign(groups, nullptr);
    FHasLeftOver.assign(groups, false);
    for (TType& type : FClasses) {
        const int group = type.Group = FClassNames.Find(type.Name);
        if (group < 0) continue;
        FKnown[group] = true;
        TClassItem* cls = type.Class;
        if (!HoldsMethods(cls->Kind())) continue;
        if (!FFirstOfGroup[group]) FFirstOfGroup[group] = cls;
        FOwnDecls.clear();
        for (TCodeItem* child : cls->Children())
            if (child->Kind() == ckMethod) FOwnDecls.push_back(static_cast<TProcItem*>(child));
        FOwnImpls.clear();
        for (TProcItem* impl : FImplsByClass.Group(group))
            if (!impl->DeclarationLink()) FOwnImpls.push_back(impl);
        Match(FOwnDecls, FOwnImpls);
        FHasLeftOver[group] = !FLeftOver.empty();
    }
    for (int group = 0; group < FClassNames.Count(); ++group) {
        if (!FHasLeftOver[group]) continue;
        FLeftOver.clear();
        for (TProcItem* impl : FImplsByClass.Group(group))
            if (!impl->DeclarationLink() && !DeclaredInGroup(group, impl->Name))
                FLeftOver.push_back(impl);
        ImplyLeftOver(*FFirstOfGroup[group]);
    }

    // Implementations of classes declared elsewhere get a class of their own.
    for (int group = 0; group < FClassNames.Count(); ++group) {
        if (FKnown[group]) continue;
        auto* cls = new TClassItem(&Module);
        cls->Name = std::string(FClassNames.Name(group));
        cls->Implied = true;
        cls->DeclaredElsewhere = true;
        const auto impls = FImplsByClass.Group(group);
        FLeftOver.assign(impls.begin(), impls.end());
        ImplyLeftOver(*cls);
    }

    FOwnDecls.clear();
    FOwnImpls.clear();
    for (TProcData* proc : FProcs) {
        const bool forward = proc->Directives.Contains(pdForward);
        const bool external = proc->Directives.Contains(pdExternal);
        const bool isImpl = proc->StartLine >= ImplementationLine && (!forward || external);
        proc->InInterface = proc->StartLine < ImplementationLine;
        proc->Visibility = proc->InInterface ? scPublic : scPrivate;
        (isImpl ? FOwnImpls : FOwnDecls).push_back(proc);
    }
    Match(FOwnDecls, FOwnImpls);
    for (TProcItem* impl : FOwnImpls)
        CompleteShortHeading(*impl);
    for (int group = 0; group < FClassNames.Count(); ++group)
        for (TProcItem* impl : FImplsByClass.Group(group))
            CompleteShortHeading(*impl);
    FSignatures.clear();
}

// Whether a type of the group declares a method of that name: an implementation written
// twice in conditional branches has one declaration, taken by the first.
bool TLinker::DeclaredInGroup(int Group, std::string_view Name) const {
    for (const TType& type : FClasses) {
        if (type.Group != Group) continue;
        for (const TCodeItem* child : type.Class->Children())
            if (child->Kind() == ckMethod && SameName(child->Name, Name)) return true;
    }
    return false;
}

void TModuleExplorer::LinkImplementations() {
    if (!FLinker) FLinker = std::make_unique<TLinker>();
    FLinker->Link(*FModule, FImplementationLine);
}

} // namespace kolva
