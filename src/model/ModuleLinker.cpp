// Linking after a parse: every method implementation to its declaration in its class, and
// every global procedure implementation to its declaration in the interface part (or its
// forward declaration). Overloads are told apart by their parameter signatures.
//
// A large unit has thousands of routines in hundreds of classes, and linking runs after
// every parse. Names are therefore grouped by numbering them in a flat hash table and
// sorting by number, in buffers kept for the whole linking: nothing is allocated per name,
// per group or per class once the buffers have grown.
#include "model/ModuleExplorer.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <span>
#include <unordered_map>
#include <vector>

namespace kolva {

namespace {

// Agrees with SameText: or-ing 0x20 folds each ASCII letter pair together. Other characters
// may fold onto each other too, which only makes a collision that the comparison after a
// hash match sorts out.
uint32_t NameHash(std::string_view S) {
    uint32_t h = 2166136261u;
    for (char c : S)
        h = (h ^ (static_cast<unsigned char>(c) | 0x20u)) * 16777619u;
    return h;
}

// Numbers distinct names, compared without regard to case, in order of first appearance.
// The names are views into the items' own strings.
class TNameIndex {
public:
    /// Forgets every name and makes room for about Count of them.
    void Reset(size_t Count) {
        int bits = 4;
        while ((size_t(1) << bits) < 2 * Count)
            ++bits;
        FSlots.assign(size_t(1) << bits, -1);
        FMask = (size_t(1) << bits) - 1;
        FShift = 32 - bits;
        FNames.clear();
        FHashes.clear();
    }
    /// The number of Name, which is given the next number when it is new.
    int Add(std::string_view Name) {
        const uint32_t hash = NameHash(Name);
        int& slot = FSlots[Slot(Name, hash)];
        if (slot < 0) {
            slot = Count();
            FNames.push_back(Name);
            FHashes.push_back(hash);
        }
        return slot;
    }
    /// -1 for a name never added.
    int Find(std::string_view Name) const { return FSlots[Slot(Name, NameHash(Name))]; }
    int Count() const { return static_cast<int>(FNames.size()); }
    /// The name as it was first added.
    std::string_view Name(int Number) const { return FNames[Number]; }

private:
    // The slot holding Name, else the empty slot where it belongs (linear probing; the
    // table is never more than half full). The slot comes from the hash's high bits, spread
    // by a Fibonacci multiplier: the low bits of FNV are poorly mixed for names that differ
    // only in their last characters.
    size_t Slot(std::string_view Name, uint32_t Hash) const {
        for (size_t i = (Hash * 2654435769u) >> FShift;; i = (i + 1) & FMask) {
            const int n = FSlots[i];
            if (n < 0 || (FHashes[n] == Hash && SameText(FNames[n], Name))) return i;
        }
    }

    std::vector<int> FSlots;
    size_t FMask = 0;
    int FShift = 28;
    std::vector<std::string_view> FNames;
    std::vector<uint32_t> FHashes;
};

// Routines sorted by the number of their name's group, keeping their order within a group:
// a counting sort, so every group is one run.
class TGroups {
public:
    void Clear() { FEntries.clear(); }
    void Add(int Group, TProcItem* Item) { FEntries.push_back({Group, Item}); }
    /// Sorts what was added into GroupCount runs.
    void Sort(int GroupCount) {
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
    std::span<TProcItem* const> Group(int Number) const {
        return {FSorted.data() + FStart[Number], FSorted.data() + FStart[Number + 1]};
    }

private:
    struct TEntry {
        int Group;
        TProcItem* Item;
    };
    std::vector<TEntry> FEntries;
    std::vector<size_t> FStart, FFill;
    std::vector<TProcItem*> FSorted;
};

// The signature of a routine's parameters; a list that has none (it cannot be read) gets a
// text of its own that equals no other.
std::string SignatureOf(const TProcItem& Item) {
    try {
        return ParamSignature(Item.Params);
    } catch (const Exception&) {
        return "\x01" + IntToStr(reinterpret_cast<intptr_t>(&Item));
    }
}

class TMatcher {
public:
    /// Links Declarations and Implementations of one owner by name, the names in order of
    /// their first implementation; for a class owner, every implementation left over gets an
    /// implied declaration in that class, in order of name.
    void Match(TCodeItem& Owner, std::span<TProcItem* const> Declarations,
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
        std::stable_sort(FLeftOver.begin(), FLeftOver.end(),
                         [](const TProcItem* a, const TProcItem* b) {
                             return CompareText(a->Name, b->Name) < 0;
                         });
        for (TProcItem* impl : FLeftOver)
            ImplyDeclaration(Owner, *impl);
    }

private:
    // Declarations and implementations of one name, in source order: each declaration takes
    // the first implementation of its signature, else the first one left.
    void MatchGroup(std::vector<TProcItem*>& Decls, std::vector<TProcItem*>& Impls) {
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

    const std::string& Signature(const TProcItem& Item) {
        auto it = FSignatures.find(&Item);
        if (it == FSignatures.end()) it = FSignatures.emplace(&Item, SignatureOf(Item)).first;
        return it->second;
    }

    static void ImplyDeclaration(TCodeItem& Class, TProcItem& Impl) {
        auto* method = new TMethodItem(&Class);
        method->AssignDeclaration(Impl);
        method->Implied = true;
        method->ImpliedDeclaration = true;
        TProcItem::Link(method, &Impl);
    }

    std::unordered_map<const TProcItem*, std::string> FSignatures;
    TNameIndex FNames;
    TGroups FDecls, FImpls;
    std::vector<TProcItem*> FDeclGroup, FImplGroup, FLeftOver;
};

} // namespace

void TModuleExplorer::LinkImplementations() {
    TModuleItem& module = *FModule;
    std::vector<TClassItem*> classes;
    std::vector<TProcData*> procs;
    // Method implementations grouped by class name, the groups in source order.
    TNameIndex classNames;
    TGroups implsByClass;
    classNames.Reset(module.Children().size());
    for (TCodeItem* item : module.Children()) {
        if (IsClassKind(item->Kind())) {
            classes.push_back(static_cast<TClassItem*>(item));
        } else if (item->Kind() == ckMethodImpl) {
            auto* impl = static_cast<TMethodImplItem*>(item);
            implsByClass.Add(classNames.Add(impl->ClassName), impl);
        } else if (item->Kind() == ckProcedure) {
            procs.push_back(static_cast<TProcData*>(item));
        }
    }
    implsByClass.Sort(classNames.Count());

    TMatcher matcher;
    std::vector<bool> known(size_t(classNames.Count()), false); // by a type of any class kind
    std::vector<TProcItem*> decls, own;
    for (TClassItem* cls : classes) {
        const int group = classNames.Find(cls->Name);
        if (group >= 0) known[group] = true;
        if (cls->Kind() != ckClass && cls->Kind() != ckObject) continue;
        decls.clear();
        for (TCodeItem* child : cls->Children())
            if (child->Kind() == ckMethod) decls.push_back(static_cast<TProcItem*>(child));
        own.clear();
        if (group >= 0)
            // A second class of the same name finds the implementations taken already.
            for (TProcItem* impl : implsByClass.Group(group))
                if (!impl->DeclarationLink()) own.push_back(impl);
        matcher.Match(*cls, decls, own);
    }

    // Implementations of classes declared elsewhere get a class of their own.
    for (int group = 0; group < classNames.Count(); ++group) {
        if (known[group]) continue;
        auto* cls = new TClassItem(&module);
        cls->Name = std::string(classNames.Name(group));
        cls->Implied = true;
        cls->DeclaredElsewhere = true;
        matcher.Match(*cls, {}, implsByClass.Group(group));
    }

    std::vector<TProcItem*> declarations, implementations;
    for (TProcData* proc : procs) {
        const bool forward = proc->Directives.Contains(pdForward);
        const bool external = proc->Directives.Contains(pdExternal);
        const bool isImpl = proc->StartLine >= FImplementationLine && (!forward || external);
        proc->InInterface = proc->StartLine < FImplementationLine;
        proc->Visibility = proc->InInterface ? scPublic : scPrivate;
        (isImpl ? implementations : declarations).push_back(proc);
    }
    matcher.Match(module, declarations, implementations);
}

} // namespace kolva
