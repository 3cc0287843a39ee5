#include "settings/KOLVAOpts.h"

#include "model/CodeItems.h"
#include "platform/Registry.h"

#include <algorithm>
#include <memory>

namespace kolva {

namespace {

constexpr const char* SyncOptionNames[] = {"syManual", "syAfterSave", "syOnModify"};
constexpr const char* ContentsDisplayOptionNames[] = {"cdShowType"};
constexpr const char* ContentsDisplayModeNames[] = {"dmCode", "dmSorted", "dmHierarchy"};
constexpr const char* DetailsDisplayOptionNames[] = {"ddShowType", "ddShowVisibility", "ddShowInfo",
                                                     "ddShowProcVisibility", "ddShowParams"};
constexpr const char* DetailsSortModeNames[] = {"smCode", "smName",    "smVisibility",
                                                "smKind", "smVisKind", "smKindVis"};
constexpr const char* DesignerRestrictionNames[] = {
    "drHideFields",       "drHideMethods",     "drDeleteMethod",    "drEditMethod",
    "drMethodVisibility", "drSelectComponent", "drDeleteComponent", "drSelectClass"};
constexpr const char* MemberToolbarNames[] = {"mtToolbar", "mtFilterBar"};

constinit const TTypeInfo SyncOptionsType = SetTypeInfo("TSyncOptions", SyncOptionNames);
constinit const TTypeInfo ContentsDisplayOptionsType =
    SetTypeInfo("TContentsDisplayOptions", ContentsDisplayOptionNames);
constinit const TTypeInfo ContentsDisplayModeType =
    EnumTypeInfo("TContentsDisplayMode", ContentsDisplayModeNames);
constinit const TTypeInfo DetailsDisplayOptionsType =
    SetTypeInfo("TDetailsDisplayOptions", DetailsDisplayOptionNames);
constinit const TTypeInfo DetailsSortModeType =
    EnumTypeInfo("TDetailsSortMode", DetailsSortModeNames);
constinit const TTypeInfo DesignerRestrictionsType =
    SetTypeInfo("TDesignerRestrictions", DesignerRestrictionNames);
constinit const TTypeInfo MemberToolbarsType = SetTypeInfo("TMemberToolbars", MemberToolbarNames);

bool GCtrlExclusiveFilters = true;

const TPublishedRegistrar<TKOLVAOptions> RegisterOptions;
const TPublishedRegistrar<TKOLVAOptionsObserver> RegisterObserver;

// One word of the extension list: "," and ";" end it unless inside double quotes, where a
// doubled quote stands for one.
std::vector<std::string> SplitWords(std::string_view Text) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false;
    for (size_t i = 0; i < Text.size(); ++i) {
        const char c = Text[i];
        if (c == '"') {
            if (quoted && i + 1 < Text.size() && Text[i + 1] == '"') {
                word += '"';
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (!quoted && (c == ',' || c == ';')) {
            words.push_back(std::move(word));
            word.clear();
        } else {
            word += c;
        }
    }
    words.push_back(std::move(word));
    return words;
}

bool SameLines(const TStringList& A, const TStringList& B) {
    if (A.Count() != B.Count()) return false;
    for (int i = 0; i < A.Count(); ++i)
        if (A[i] != B[i]) return false;
    return true;
}

std::string QuotedWord(const std::string& Word) {
    if (Word.find_first_of(",;\"") == std::string::npos) return Word;
    std::string text = "\"";
    for (const char c : Word)
        text += c == '"' ? std::string("\"\"") : std::string(1, c);
    return text + '"';
}

} // namespace

bool FilterButtonsCtrlExclusive() {
    return GCtrlExclusiveFilters;
}

void SetFilterButtonsCtrlExclusive(bool Value) {
    GCtrlExclusiveFilters = Value;
}

TKOLVAOptions& KOLVAOptions() {
    static const std::unique_ptr<TKOLVAOptions> options = std::make_unique<TKOLVAOptions>();
    return *options;
}

// ---------------------------------------------------------------------------------------
// TKOLVAOptions

const TPropTable& TKOLVAOptions::PropTable() {
    using T = TKOLVAOptions;
    static const TPropTable table(
        "TKOLVAOptions", "KOLVAOpts", nullptr,
        {
            Prop<&T::ContentsDisplayMode, &T::SetContentsDisplayMode>("ContentsDisplayMode",
                                                                      &ContentsDisplayModeType),
            Prop<&T::ContentsDisplayOptions, &T::SetContentsDisplayOptions>(
                "ContentsDisplayOptions", &ContentsDisplayOptionsType),
            Prop<&T::CtrlExclusiveFilters, &T::SetCtrlExclusiveFilters>("CtrlExclusiveFilters"),
            Prop<&T::DesignerRestrictions, &T::SetDesignerRestrictions>("DesignerRestrictions",
                                                                        &DesignerRestrictionsType),
            Prop<&T::DetailsDisplayOptions, &T::SetDetailsDisplayOptions>(
                "DetailsDisplayOptions", &DetailsDisplayOptionsType),
            Prop<&T::DetailsSortMode, &T::SetDetailsSortMode>("DetailsSortMode",
                                                              &DetailsSortModeType),
            Prop<&T::GeneralSyncDelay, &T::SetGeneralSyncDelay>("GeneralSyncDelay"),
            Prop<&T::ModifiedSyncDelay, &T::SetModifiedSyncDelay>("ModifiedSyncDelay"),
            Prop<&T::SourceModules, &T::SetSourceModules>("SourceModules"),
            Prop<&T::SyncOptions, &T::SetSyncOptions>("SyncOptions", &SyncOptionsType),
            Prop<&T::UseIDEImages, &T::SetUseIDEImages>("UseIDEImages"),
            Prop<&T::VisibleToolbars, &T::SetVisibleToolbars>("VisibleToolbars",
                                                              &MemberToolbarsType),
            Prop<&T::WideFilter, &T::SetWideFilter>("WideFilter"),
        });
    return table;
}

TKOLVAOptions::TKOLVAOptions() = default;

TKOLVAOptions::~TKOLVAOptions() {
    for (TKOLVAOptionsObserver* observer : FObservers)
        observer->FOptions = nullptr;
}

void TKOLVAOptions::Assign(const TPersistent& Source) {
    const auto* source = dynamic_cast<const TKOLVAOptions*>(&Source);
    if (!source) return TPersistent::Assign(Source);
    if (source == this) return;
    BeginUpdate();
    try {
        CopyProperties(const_cast<TKOLVAOptions&>(*source), *this);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TKOLVAOptions::BeginUpdate() {
    if (FUpdateCount++ == 0) FPendingChanges = {};
}

void TKOLVAOptions::EndUpdate() {
    if (FUpdateCount == 0 || --FUpdateCount > 0) return;
    const TKOLVAOptChanges changes = FPendingChanges;
    FPendingChanges = {};
    if (!changes.Empty()) Notify(changes);
}

void TKOLVAOptions::Changed(TKOLVAOptChange Change) {
    if (FUpdateCount > 0)
        FPendingChanges.Include(Change);
    else
        Notify(TKOLVAOptChanges{Change});
}

void TKOLVAOptions::Notify(TKOLVAOptChanges Changes) {
    // A handler may free observers (its own window closing, say): walk a copy and skip
    // whoever has left in the meantime.
    const std::vector<TKOLVAOptionsObserver*> observers = FObservers;
    for (TKOLVAOptionsObserver* observer : observers) {
        if (std::find(FObservers.begin(), FObservers.end(), observer) == FObservers.end()) continue;
        if (observer->Enabled() && observer->OnChange()) observer->OnChange()(Changes);
    }
}

template <class T>
void TKOLVAOptions::Update(T& Field, T Value, TKOLVAOptChange Change) {
    if (Field == Value) return;
    Field = Value;
    Changed(Change);
}

void TKOLVAOptions::LoadFromRegistry(TRegistry& Key) {
    BeginUpdate();
    try {
        LoadProperties(*this, Key);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TKOLVAOptions::SaveToRegistry(TRegistry& Key) const {
    SaveProperties(const_cast<TKOLVAOptions&>(*this), Key);
}

bool TKOLVAOptions::IsSourceModule(std::string_view Ext) const {
    if (Ext.starts_with('.')) Ext.remove_prefix(1);
    return FSourceModules.IndexOf(Ext) >= 0;
}

void TKOLVAOptions::SetContentsDisplayMode(TContentsDisplayMode Value) {
    Update(FContentsDisplayMode, Value, ocContentsDisplayMode);
}

void TKOLVAOptions::SetContentsDisplayOptions(TContentsDisplayOptions Value) {
    Update(FContentsDisplayOptions, Value, ocContentsDisplayOptions);
}

void TKOLVAOptions::SetDesignerRestrictions(TDesignerRestrictions Value) {
    Update(FDesignerRestrictions, Value, ocDesignerRestrictions);
}

void TKOLVAOptions::SetDetailsDisplayOptions(TDetailsDisplayOptions Value) {
    SetShowParameters(Value.Contains(ddShowParams));
    Update(FDetailsDisplayOptions, Value, ocDetailsDisplayOptions);
}

void TKOLVAOptions::SetDetailsSortMode(TDetailsSortMode Value) {
    Update(FDetailsSortMode, Value, ocDetailsSortMode);
}

void TKOLVAOptions::SetGeneralSyncDelay(int32_t Value) {
    Update(FGeneralSyncDelay, Value, ocSync);
}

void TKOLVAOptions::SetModifiedSyncDelay(int32_t Value) {
    Update(FModifiedSyncDelay, Value, ocSync);
}

std::string TKOLVAOptions::SourceModules() const {
    std::string text;
    for (int i = 0; i < FSourceModules.Count(); ++i) {
        if (i > 0) text += ';';
        text += QuotedWord(FSourceModules[i]);
    }
    return text;
}

void TKOLVAOptions::SetSourceModules(const std::string& Text) {
    if (Text == SourceModules()) return;
    TStringList modules;
    for (std::string word : SplitWords(Text)) {
        if (word.starts_with('*')) word.erase(0, 1);
        if (word.starts_with('.')) word.erase(0, 1);
        if (!word.empty()) modules.Add(std::move(word));
    }
    // Another spelling of the same list ("*.pas" for "pas") is no change.
    if (SameLines(modules, FSourceModules)) return;
    FSourceModules.Assign(modules);
    Changed(ocSync);
}

void TKOLVAOptions::SetSyncOptions(TSyncOptions Value) {
    Update(FSyncOptions, Value, ocSync);
}

void TKOLVAOptions::SetUseIDEImages(bool Value) {
    Update(FUseIDEImages, Value, ocUseIDEImages);
}

void TKOLVAOptions::SetVisibleToolbars(TMemberToolbars Value) {
    Update(FVisibleToolbars, Value, ocVisibleToolbars);
}

void TKOLVAOptions::SetWideFilter(bool Value) {
    Update(FWideFilter, Value, ocWideFilter);
}

// ---------------------------------------------------------------------------------------
// TKOLVAOptionsObserver

const TPropTable& TKOLVAOptionsObserver::PropTable() {
    using T = TKOLVAOptionsObserver;
    static const TPropTable table("TKOLVAOptionsObserver", "KOLVAOpts", nullptr,
                                  {
                                      Prop<&T::Enabled, &T::SetEnabled>("Enabled").SetDefault(1),
                                      Prop<&T::OnChange, &T::SetOnChange>("OnChange"),
                                  });
    return table;
}

TKOLVAOptionsObserver::TKOLVAOptionsObserver(TKOLVAOptions& Options) : FOptions(&Options) {
    Options.FObservers.push_back(this);
}

TKOLVAOptionsObserver::~TKOLVAOptionsObserver() {
    if (!FOptions) return;
    auto& list = FOptions->FObservers;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

} // namespace kolva
