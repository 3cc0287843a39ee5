#include "settings/PrjStore.h"

#include "platform/SysUtils.h"

#include <algorithm>
#include <array>
#include <memory>

namespace kolva {

namespace {

// The member names come from the code model, so the two can never disagree.
template <class E, int N>
const TTypeInfo& SetType(const char* Name, const char* (*MemberName)(E)) {
    static const std::array<const char*, N> names = [&] {
        std::array<const char*, N> members{};
        for (int i = 0; i < N; ++i)
            members[size_t(i)] = MemberName(E(i));
        return members;
    }();
    static const TTypeInfo type = SetTypeInfo(Name, names);
    return type;
}

// Every simple kind and object references (the string lists).
const TTypeKinds CopiedKinds = SimplePropKinds + TTypeKinds{TTypeKind::tkClass};

const TPublishedRegistrar<TModuleInfo> RegisterModuleInfo;

const std::string& IDOf(const void* Key) {
    return *static_cast<const std::string*>(Key);
}

} // namespace

const TTypeInfo& CodeItemsType() {
    return SetType<TCodeItemKind, CodeItemKindCount>("TCodeItems", &CodeItemKindName);
}

const TTypeInfo& VisibilitiesType() {
    return SetType<TVisibility, VisibilityCount>("TVisibilities", &VisibilityName);
}

// ---------------------------------------------------------------------------------------
// TModuleInfo

const TPropTable& TModuleInfo::PropTable() {
    using T = TModuleInfo;
    static const TPropTable table(
        "TModuleInfo", "PrjStore", nullptr,
        {
            Prop<&T::Collapsed, &T::SetCollapsed>("Collapsed"),
            Prop<&T::MemberFilter, &T::SetMemberFilter>("MemberFilter", &CodeItemsType()),
            Prop<&T::ModuleID, nullptr>("ModuleID"),
            Prop<&T::Selected, &T::SetSelected>("Selected"),
            Prop<&T::SelectedMember, &T::SetSelectedMember>("SelectedMember"),
            Prop<&T::ShowDefFields, &T::SetShowDefFields>("ShowDefFields"),
            Prop<&T::ShowLocalProcs, &T::SetShowLocalProcs>("ShowLocalProcs"),
            Prop<&T::Split, &T::SetSplit>("Split"),
            Prop<&T::TopItem, &T::SetTopItem>("TopItem"),
            Prop<&T::VisibilityFilter, &T::SetVisibilityFilter>("VisibilityFilter",
                                                                &VisibilitiesType()),
        });
    return table;
}

void TModuleInfo::SetCollapsed(const TStringList* Value) {
    if (Value == &FCollapsed) return;
    if (Value)
        FCollapsed.Assign(*Value);
    else
        FCollapsed.Clear();
}

void TModuleInfo::Assign(const TPersistent& Source) {
    if (!PropTableOf(Source)) return TPersistent::Assign(Source);
    // Reading the source goes through its getters only.
    CopyProperties(const_cast<TPersistent&>(Source), *this, CopiedKinds);
}

void TModuleInfo::AssignTo(TPersistent& Dest) const {
    if (!PropTableOf(Dest)) return TPersistent::AssignTo(Dest);
    CopyProperties(const_cast<TModuleInfo&>(*this), Dest, CopiedKinds);
}

// ---------------------------------------------------------------------------------------
// TModuleList, TModuleStore

TModuleList::TModuleList() {
    SetSortable(true);
    SetSorted(true);
    SetOwnsItems(true);
    SetDuplicates(dupIgnore);
}

const void* TModuleList::KeyOf(const TObject* Item) const {
    return &static_cast<const TModuleInfo*>(Item)->ModuleID();
}

int TModuleList::Compare(const void* Key1, const void* Key2) const {
    return CompareText(IDOf(Key1), IDOf(Key2));
}

bool TModuleStore::FindInfo(std::string_view ModuleID, int& Index) const {
    const std::string key(ModuleID);
    return Modules.SearchKey(&key, Index);
}

TModuleInfo& TModuleStore::InfoFor(std::string_view ModuleID) {
    int index;
    if (FindInfo(ModuleID, index)) return Modules.Info(index);
    auto info = std::make_unique<TModuleInfo>(std::string(ModuleID));
    Modules.Insert(index, info.get());
    return *info.release();
}

TModuleStore& ModuleStore() {
    static const std::unique_ptr<TModuleStore> store = std::make_unique<TModuleStore>();
    return *store;
}

// ---------------------------------------------------------------------------------------
// Known class names

void TKnownClassNames::Register(std::string_view Name, TCodeItemKind Kind) {
    const auto at = std::lower_bound(
        FNames.begin(), FNames.end(), Name,
        [](const auto& Entry, std::string_view Key) { return CompareText(Entry.first, Key) < 0; });
    if (at != FNames.end() && SameText(at->first, Name)) return;
    FNames.emplace(at, std::string(Name), Kind);
}

void TKnownClassNames::GetNames(TStringList& List, TCodeItems Kinds) const {
    List.BeginUpdate();
    try {
        for (const auto& [name, kind] : FNames)
            if (Kinds.Contains(kind) && List.IndexOf(name) < 0) List.Add(name);
    } catch (...) {
        List.EndUpdate();
        throw;
    }
    List.EndUpdate();
}

TKnownClassNames& KnownClassNames() {
    static const std::unique_ptr<TKnownClassNames> names = std::make_unique<TKnownClassNames>();
    return *names;
}

void RegisterClassName(std::string_view Name, TCodeItemKind Kind) {
    KnownClassNames().Register(Name, Kind);
}

void GetClassNames(TStringList& List, TCodeItems Kinds) {
    KnownClassNames().GetNames(List, Kinds);
}

} // namespace kolva
