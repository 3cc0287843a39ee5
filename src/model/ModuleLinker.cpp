// Linking after a parse: every method implementation to its declaration in its class, and
// every global procedure implementation to its declaration in the interface part (or its
// forward declaration). Overloads are told apart by their parameter signatures.
#include "model/ModuleExplorer.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <unordered_map>

namespace kolva {

namespace {

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
    void Match(TCodeItem& Owner, std::vector<TProcItem*> Declarations,
               std::vector<TProcItem*> Implementations) {
        SortByName(Declarations);
        SortByName(Implementations);
        size_t d = 0;
        std::vector<TProcItem*> leftOver;
        for (size_t i = 0; i < Implementations.size();) {
            const std::string& name = Implementations[i]->Name;
            size_t iEnd = i;
            while (iEnd < Implementations.size() && SameText(Implementations[iEnd]->Name, name))
                ++iEnd;
            while (d < Declarations.size() && CompareText(Declarations[d]->Name, name) < 0)
                ++d;
            size_t dEnd = d;
            while (dEnd < Declarations.size() && SameText(Declarations[dEnd]->Name, name))
                ++dEnd;
            std::vector<TProcItem*> impls(Implementations.begin() + i,
                                          Implementations.begin() + iEnd);
            std::vector<TProcItem*> decls(Declarations.begin() + d, Declarations.begin() + dEnd);
            MatchGroup(decls, impls);
            leftOver.insert(leftOver.end(), impls.begin(), impls.end());
            i = iEnd;
            d = dEnd;
        }
        if (IsClassKind(Owner.Kind()))
            for (TProcItem* impl : leftOver)
                ImplyDeclaration(Owner, *impl);
    }

private:
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
};

bool LessClassName(const TMethodImplItem* a, const TMethodImplItem* b) {
    return CompareText(a->ClassName, b->ClassName) < 0;
}

} // namespace

void TModuleExplorer::LinkImplementations() {
    TModuleItem& module = *FModule;
    std::vector<TClassItem*> classes;
    std::vector<TMethodImplItem*> impls;
    std::vector<TProcData*> procs;
    for (TCodeItem* item : module.Children()) {
        if (IsClassKind(item->Kind()))
            classes.push_back(static_cast<TClassItem*>(item));
        else if (item->Kind() == ckMethodImpl)
            impls.push_back(static_cast<TMethodImplItem*>(item));
        else if (item->Kind() == ckProcedure)
            procs.push_back(static_cast<TProcData*>(item));
    }
    std::stable_sort(impls.begin(), impls.end(), LessClassName);
    auto implsOf = [&](const std::string& className) {
        TMethodImplItem probe(nullptr);
        probe.ClassName = className;
        const auto range = std::equal_range(impls.begin(), impls.end(), &probe, LessClassName);
        return std::vector<TProcItem*>(range.first, range.second);
    };

    TMatcher matcher;
    for (TClassItem* cls : classes) {
        if (cls->Kind() != ckClass && cls->Kind() != ckObject) continue;
        std::vector<TProcItem*> decls;
        for (TCodeItem* child : cls->Children())
            if (child->Kind() == ckMethod) decls.push_back(static_cast<TProcItem*>(child));
        std::vector<TProcItem*> own = implsOf(cls->Name);
        // A second class of the same name finds the implementations taken already.
        std::erase_if(own, [](const TProcItem* p) { return p->DeclarationLink() != nullptr; });
        matcher.Match(*cls, std::move(decls), std::move(own));
    }

    // Implementations of classes declared elsewhere get a class of their own.
    std::vector<std::string> known;
    for (const TClassItem* cls : classes)
        known.push_back(UpperCase(cls->Name));
    std::sort(known.begin(), known.end());
    for (size_t i = 0; i < impls.size();) {
        size_t end = i + 1;
        while (end < impls.size() && SameText(impls[end]->ClassName, impls[i]->ClassName))
            ++end;
        const std::string& name = impls[i]->ClassName;
        if (!std::binary_search(known.begin(), known.end(), UpperCase(name))) {
            auto* cls = new TClassItem(&module);
            cls->Name = name;
            cls->Implied = true;
            cls->DeclaredElsewhere = true;
            matcher.Match(*cls, {},
                          std::vector<TProcItem*>(impls.begin() + i, impls.begin() + end));
        }
        i = end;
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
    matcher.Match(module, std::move(declarations), std::move(implementations));
}

} // namespace kolva
