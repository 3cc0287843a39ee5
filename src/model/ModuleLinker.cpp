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
// first implementation; for a class owner, every implementation left over gets an implied
// declaration in that class, in order of name.
void TLinker::Match(TCodeItem& Owner, std::span<TProcItem* const> Declarations,
                    std::span<TProcItem* const> Implementations) {
    FLeftOver.clear();
    if (Declarations.empty()) {
        FLeftOver.assign(Implementations.begin(), Implementations.end());
    } else {
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
    if (!IsClassKind(Owner.Kind()) || FLeftOver.empty()) return;
    std::stable_sort(
        FLeftOver.begin(), FLeftOver.end(),
        [](const TProcItem* a, const TProcItem* b) { return CompareText(a->Name, b->Name) < 0; });
    for (TProcItem* impl : FLeftOver)
        ImplyDeclaration(Owner, *impl);
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

void TLinker::Link(TModuleItem& Module, int ImplementationLine) {
    FSignatures.clear(); // keyed by items of the previous model, whose memory is reused
    FClasses.clear();
    FProcs.clear();
    FClassNames.Reset(Module.Children().size());
    FImplsByClass.Clear();
    // The implementations of one class mostly follow each other.
    int lastGroup = -1;
    for (TCodeItem* item : Module.Children()) {
        if (IsClassKind(item->Kind())) {
            FClasses.push_back(static_cast<TClassItem*>(item));
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

    FKnown.assign(size_t(FClassNames.Count()), false); // named by a type of any class kind
    for (TClassItem* cls : FClasses) {
        const int group = FClassNames.Find(cls->Name);
        if (group >= 0) FKnown[group] = true;
        if (cls->Kind() != ckClass && cls->Kind() != ckObject) continue;
        FOwnDecls.clear();
        for (TCodeItem* child : cls->Children())
            if (child->Kind() == ckMethod) FOwnDecls.push_back(static_cast<TProcItem*>(child));
        FOwnImpls.clear();
        if (group >= 0)
            // A second class of the same name finds the implementations taken already.
            for (TProcItem* impl : FImplsByClass.Group(group))
                if (!impl->DeclarationLink()) FOwnImpls.push_back(impl);
        Match(*cls, FOwnDecls, FOwnImpls);
    }

    // Implementations of classes declared elsewhere get a class of their own.
    for (int group = 0; group < FClassNames.Count(); ++group) {
        if (FKnown[group]) continue;
        auto* cls = new TClassItem(&Module);
        cls->Name = std::string(FClassNames.Name(group));
        cls->Implied = true;
        cls->DeclaredElsewhere = true;
        Match(*cls, {}, FImplsByClass.Group(group));
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
    Match(Module, FOwnDecls, FOwnImpls);
    FSignatures.clear();
}

void TModuleExplorer::LinkImplementations() {
    if (!FLinker) FLinker = std::make_unique<TLinker>();
    FLinker->Link(*FModule, FImplementationLine);
}

} // namespace kolva
