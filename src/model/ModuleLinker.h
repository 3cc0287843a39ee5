// Linking after a parse: every method implementation to its declaration in its class, and
// every global procedure implementation to its declaration in the interface part (or its
// forward declaration). Private to the module parser's sources.
//
// A large unit has thousands of routines in hundreds of classes, and linking runs after
// every parse. Names are therefore grouped by numbering them in a flat hash table and
// sorting by number, in buffers that the explorer keeps from one parse to the next: once
// they have grown, nothing is allocated per name, per group, per class or per parse.
#pragma once

#include "model/ModuleExplorer.h"

#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kolva {

class TModuleExplorer::TLinker {
public:
    /// Links the routines of Module, whose implementation part begins at ImplementationLine
    /// (-1 when it has none); implementations without a declaration get implied ones.
    void Link(TModuleItem& Module, int ImplementationLine);

private:
    // Numbers distinct names, compared without regard to case, in order of first
    // appearance. The names are views into the items' own strings.
    class TNameIndex {
    public:
        /// Forgets every name and makes room for about Count of them.
        void Reset(size_t Count);
        /// The number of Name, which is given the next number when it is new.
        int Add(std::string_view Name);
        /// -1 for a name never added.
        int Find(std::string_view Name) const { return FSlots[Slot(Name, Hash(Name))]; }
        int Count() const { return static_cast<int>(FNames.size()); }
        /// The name as it was first added.
        std::string_view Name(int Number) const { return FNames[Number]; }

    private:
        static uint32_t Hash(std::string_view Name);
        size_t Slot(std::string_view Name, uint32_t Hash) const;

        std::vector<int> FSlots; // name numbers, -1 where free
        size_t FMask = 0;
        int FShift = 28;
        std::vector<std::string_view> FNames;
        std::vector<uint32_t> FHashes;
    };

    // Routines sorted by the number of their name, keeping their order within a name: a
    // counting sort, so that every group is one run.
    class TGroups {
    public:
        void Clear() { FEntries.clear(); }
        void Add(int Group, TProcItem* Item) { FEntries.push_back({Group, Item}); }
        /// Sorts what was added into GroupCount runs.
        void Sort(int GroupCount);
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

    /// Links what matches; the implementations left over are in FLeftOver.
    void Match(std::span<TProcItem* const> Declarations,
               std::span<TProcItem* const> Implementations);
    /// Gives each implementation of FLeftOver an implied declaration in Class, in order of
    /// name.
    void ImplyLeftOver(TClassItem& Class);
    /// Adds Class and the types declared in it, under their dotted names.
    void CollectType(TClassItem& Class, std::string_view Prefix);
    bool DeclaredInGroup(int Group, std::string_view Name) const;
    void MatchGroup(std::vector<TProcItem*>& Decls, std::vector<TProcItem*>& Impls);
    const std::string& Signature(const TProcItem& Item);

    // The module's items by kind, method implementations grouped by class name. Types are
    // known by their dotted names; those of nested types are kept in FNestedNames.
    struct TType {
        TClassItem* Class;
        std::string_view Name;
        int Group;
    };
    std::vector<TType> FClasses;
    std::deque<std::string> FNestedNames;
    // Per group: the first type that can hold methods, and whether implementations are left.
    std::vector<TClassItem*> FFirstOfGroup;
    std::vector<char> FHasLeftOver;
    std::vector<TProcData*> FProcs;
    TNameIndex FClassNames;
    TGroups FImplsByClass;
    std::vector<char> FKnown;
    std::vector<TProcItem*> FOwnDecls, FOwnImpls;
    // One owner's routines grouped by name.
    TNameIndex FNames;
    TGroups FDecls, FImpls;
    std::vector<TProcItem*> FDeclGroup, FImplGroup, FLeftOver;
    // Signatures of implementations, computed when first compared; only for one link.
    std::unordered_map<const TProcItem*, std::string> FSignatures;
};

} // namespace kolva
