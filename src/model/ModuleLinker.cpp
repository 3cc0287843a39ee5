// Linking after a parse: every method implementation to its declaration in its class, and
// every global procedure implementation to its declaration in the interface part (or its
// forward declaration). Overloads are told apart by their parameter signatures.
#include "model/ModuleExplorer.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <unordered_map>

namespace kolva {

namespace {

// Names compared and hashed without regard to case, as views into the items' own names, so
// that grouping thousands of routines allocates nothing per name.
struct TNameHash {
    size_t operator()(std::string_view S) const {
        uint64_t h = 1469598103934665603ull;
        for (char c : S)
            h = (h ^ static_cast<unsigned char>(UpCase(c))) * 1099511628211ull;
        return static_cast<size_t>(h);
    }
};
struct TNameEqual {
    bool operator()(std::string_view A, std::string_view B) const { return SameText(A, B); }
};
template <typename T>
using TByName = std::unordered_map<std::string_view, T, TNameHash, TNameEqual>;

void SortByName(std::vector<TProcItem*>& Items) {
    std::stable_sort(Items.begin(), Items.end(), [](const TProcItem* a, const TProcItem* b) {
        return CompareText(a->Name, b->Name) < 0;
    });
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

class TMatcher {
public:
    /// Links Declarations and Implementations of one owner; for a class owner, every
    /// implementation left over gets an implied declaration in that class.
    void Match(TCodeItem& Owner, const std::vector<TProcItem*>& Declarations,
               const std::vector<TProcItem*>& Implementations) {
        std::vector<TProcItem*> leftOver;
        if (Declarations.empty()) {
            leftOver = Implementations;
        } else if (Declarations.size() + Implementations.size() <= LinearLimit) {
            MatchSmall(Declarations, Implementations, leftOver);
        } else {
            MatchLarge(Declarations, Implementations, leftOver);
        }
        if (!IsClassKind(Owner.Kind()) || leftOver.empty()) return;
        SortByName(leftOver);
        for (TProcItem* impl : leftOver)
            ImplyDeclaration(Owner, *impl);
    }

private:
    static constexpr size_t LinearLimit = 48;

    // The routines of a typical class: comparing every pair costs less than building groups.
    void MatchSmall(const std::vector<TProcItem*>& Decls, const std::vector<TProcItem*>& Impls,
                    std::vector<TProcItem*>& LeftOver) {
        FDone.assign(Impls.size(), false);
        for (size_t i = 0; i < Impls.size(); ++i) {
            if (FDone[i]) continue;
            const std::string& name = Impls[i]->Name;
            FImplGroup.clear();
            for (size_t k = i; k < Impls.size(); ++k) {
                if (!FDone[k] && SameText(Impls[k]->Name, name)) {
                    FDone[k] = true;
                    FImplGroup.push_back(Impls[k]);
                }
            }
            FDeclGroup.clear();
            for (TProcItem* decl : Decls)
                if (SameText(decl->Name, name)) FDeclGroup.push_back(decl);
            MatchGroup(FDeclGroup, FImplGroup);
            LeftOver.insert(LeftOver.end(), FImplGroup.begin(), FImplGroup.end());
        }
    }

    // Many routines (the procedures of a large unit): grouped through a hash of the names.
    void MatchLarge(const std::vector<TProcItem*>& Decls, const std::vector<TProcItem*>& Impls,
                    std::vector<TProcItem*>& LeftOver) {
        TByName<std::vector<TProcItem*>> declsByName, implsByName;
        std::vector<std::string_view> names; // in order of first implementation
        for (TProcItem* decl : Decls)
            declsByName[decl->Name].push_back(decl);
        for (TProcItem* impl : Impls) {
            std::vector<TProcItem*>& group = implsByName[impl->Name];
            if (group.empty()) names.push_back(impl->Name);
            group.push_back(impl);
        }
        for (std::string_view name : names) {
            std::vector<TProcItem*>& impls = implsByName[name];
            if (auto it = declsByName.find(name); it != declsByName.end())
                MatchGroup(it->second, impls);
            LeftOver.insert(LeftOver.end(), impls.begin(), impls.end());
        }
    }

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
    std::vector<TProcItem*> FDeclGroup, FImplGroup;
    std::vector<bool> FDone;
};

} // namespace

void TModuleExplorer::LinkImplementations() {
    TModuleItem& module = *FModule;
    std::vector<TClassItem*> classes;
    TByName<std::vector<TProcItem*>> implsByClass;
    std::vector<std::string_view> classNames; // of implementations, in source order
    std::vector<TProcData*> procs;
    for (TCodeItem* item : module.Children()) {
        if (IsClassKind(item->Kind())) {
            classes.push_back(static_cast<TClassItem*>(item));
        } else if (item->Kind() == ckMethodImpl) {
            auto* impl = static_cast<TMethodImplItem*>(item);
            std::vector<TProcItem*>& group = implsByClass[impl->ClassName];
            if (group.empty()) classNames.push_back(impl->ClassName);
            group.push_back(impl);
        } else if (item->Kind() == ckProcedure) {
            procs.push_back(static_cast<TProcData*>(item));
        }
    }

    TMatcher matcher;
    TByName<bool> known; // every class kind's name
    for (TClassItem* cls : classes) {
        known[cls->Name] = true;
        if (cls->Kind() != ckClass && cls->Kind() != ckObject) continue;
        std::vector<TProcItem*> decls;
        for (TCodeItem* child : cls->Children())
            if (child->Kind() == ckMethod) decls.push_back(static_cast<TProcItem*>(child));
        std::vector<TProcItem*> own;
        if (auto it = implsByClass.find(cls->Name); it != implsByClass.end())
            // A second class of the same name finds the implementations taken already.
            for (TProcItem* impl : it->second)
                if (!impl->DeclarationLink()) own.push_back(impl);
        matcher.Match(*cls, decls, own);
    }

    // Implementations of classes declared elsewhere get a class of their own.
    for (std::string_view name : classNames) {
        if (known.count(name)) continue;
        auto* cls = new TClassItem(&module);
        cls->Name = std::string(name);
        cls->Implied = true;
        cls->DeclaredElsewhere = true;
        matcher.Match(*cls, {}, implsByClass[name]);
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
