// What the explorer remembers while the IDE runs: its view of each source module (expanded
// nodes, selection, filters), so that switching between editor files brings each module back
// as it was, and the names of the classes seen in explored modules, which the member dialogs
// offer as type names. Nothing here is written to disk.
//
// A module's view moves between a `TModuleInfo` and the explorer's own state objects by
// published property names (`Assign`), so neither side needs to know the other's class.
#pragma once

#include "foundation/Containr.h"
#include "foundation/Propinfo.h"
#include "model/FWEngineDefs.h"
#include "platform/Persistent.h"
#include "platform/StringList.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kolva {

/// The published types of the member-kind and visibility filters, named by the code model.
const TTypeInfo& CodeItemsType();
const TTypeInfo& VisibilitiesType();

/// The remembered view of one source module.
class TModuleInfo : public TPersistent, public IPublished {
public:
    static const TPropTable& PropTable();
    const TPropTable& PublishedProps() const override { return PropTable(); }

    TModuleInfo() = default;
    explicit TModuleInfo(std::string ModuleID) : FModuleID(std::move(ModuleID)) {}

    /// From any object with published properties: every writable property of this info
    /// takes the value of the source's readable property of the same name (ASCII case
    /// ignored), string lists by content; properties without a counterpart keep theirs.
    void Assign(const TPersistent& Source) override;

    /// The texts of the collapsed nodes of the contents tree; setting copies the list.
    const TStringList* Collapsed() const { return &FCollapsed; }
    void SetCollapsed(const TStringList* Value);
    TCodeItems MemberFilter() const { return FMemberFilter; }
    void SetMemberFilter(TCodeItems Value) { FMemberFilter = Value; }
    /// The module's identity as the explorer gives it; the key, so it is fixed.
    const std::string& ModuleID() const { return FModuleID; }
    const std::string& Selected() const { return FSelected; }
    void SetSelected(const std::string& Value) { FSelected = Value; }
    const std::string& SelectedMember() const { return FSelectedMember; }
    void SetSelectedMember(const std::string& Value) { FSelectedMember = Value; }
    bool ShowDefFields() const { return FShowDefFields; }
    void SetShowDefFields(bool Value) { FShowDefFields = Value; }
    bool ShowLocalProcs() const { return FShowLocalProcs; }
    void SetShowLocalProcs(bool Value) { FShowLocalProcs = Value; }
    /// The height of the explorer's contents pane; -1 until the explorer stores one.
    int32_t Split() const { return FSplit; }
    void SetSplit(int32_t Value) { FSplit = Value; }
    const std::string& TopItem() const { return FTopItem; }
    void SetTopItem(const std::string& Value) { FTopItem = Value; }
    TVisibilities VisibilityFilter() const { return FVisibilityFilter; }
    void SetVisibilityFilter(TVisibilities Value) { FVisibilityFilter = Value; }

protected:
    /// Into any object with published properties, by name as Assign.
    void AssignTo(TPersistent& Dest) const override;

private:
    TStringList FCollapsed;
    TCodeItems FMemberFilter;
    std::string FModuleID;
    std::string FSelected;
    std::string FSelectedMember;
    bool FShowDefFields = false;
    bool FShowLocalProcs = false;
    int32_t FSplit = -1;
    std::string FTopItem;
    TVisibilities FVisibilityFilter;
};

/// Module views sorted by ModuleID (ASCII case ignored), one per module; it owns them.
class TModuleList : public TCollection {
public:
    TModuleList();
    const void* KeyOf(const TObject* Item) const override;
    int Compare(const void* Key1, const void* Key2) const override;
    TModuleInfo& Info(int Index) const { return static_cast<TModuleInfo&>(*Items(Index)); }
};

class TModuleStore : public TObject {
public:
    /// The info of ModuleID, added empty when there is none yet.
    TModuleInfo& InfoFor(std::string_view ModuleID);
    /// Index is that of the info of ModuleID or, when there is none, where it would go.
    bool FindInfo(std::string_view ModuleID, int& Index) const;

    TModuleList Modules;
};

/// The process's module store, created on first use.
TModuleStore& ModuleStore();

/// Class names with the code item kind they were first seen as, sorted, each name once
/// (ASCII case ignored).
class TKnownClassNames : public TObject {
public:
    /// Adds Name with Kind; a name already known keeps its first kind.
    void Register(std::string_view Name, TCodeItemKind Kind);
    /// Appends to List, in name order and inside one update of List, every name whose kind
    /// is in Kinds and that List does not hold yet.
    void GetNames(TStringList& List, TCodeItems Kinds) const;
    int Count() const { return static_cast<int>(FNames.size()); }

private:
    std::vector<std::pair<std::string, TCodeItemKind>> FNames;
};

/// The process's known class names, created on first use.
TKnownClassNames& KnownClassNames();
/// KnownClassNames().Register(Name, Kind).
void RegisterClassName(std::string_view Name, TCodeItemKind Kind);
/// KnownClassNames().GetNames(List, Kinds).
void GetClassNames(TStringList& List, TCodeItems Kinds);

} // namespace kolva
