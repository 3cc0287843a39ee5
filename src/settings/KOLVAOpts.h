// The user's options: one process-wide object whose published properties are the options,
// the observers through which windows hear which kinds of option changed, and the options'
// registry form (one string value per option, in the text forms of foundation/Propinfo.h).
//
// Every setter compares before it stores: a value equal to the current one changes nothing
// and tells nobody. A change is reported at once, or, inside a BeginUpdate/EndUpdate
// bracket, collected and reported once when the outermost bracket closes, so a dialog that
// changes five options or a load from the registry notifies each observer once.
//
// A window that follows the options:
//   TKOLVAOptionsObserver observer;            // joins KOLVAOptions()'s observers
//   observer.SetOnChange([this](TKOLVAOptChanges Changes) {
//       if (Changes.Contains(ocSync)) RestartTimers(KOLVAOptions().GeneralSyncDelay());
//   });
#pragma once

#include "editing/EditInterfaces.h"
#include "foundation/Propinfo.h"
#include "platform/Persistent.h"
#include "platform/StringList.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kolva {

class TRegistry;

enum TSyncOption : uint8_t { syManual, syAfterSave, syOnModify };
using TSyncOptions = TSet<TSyncOption, syOnModify + 1>;

enum TContentsDisplayOption : uint8_t { cdShowType };
using TContentsDisplayOptions = TSet<TContentsDisplayOption, cdShowType + 1>;

enum TContentsDisplayMode : uint8_t { dmCode, dmSorted, dmHierarchy };

enum TDetailsDisplayOption : uint8_t {
    ddShowType,
    ddShowVisibility,
    ddShowInfo,
    ddShowProcVisibility,
    ddShowParams
};
using TDetailsDisplayOptions = TSet<TDetailsDisplayOption, ddShowParams + 1>;

enum TDetailsSortMode : uint8_t { smCode, smName, smVisibility, smKind, smVisKind, smKindVis };

// TDesignerRestriction belongs to the editing engine, which obeys it.

enum TMemberToolbar : uint8_t { mtToolbar, mtFilterBar };
using TMemberToolbars = TSet<TMemberToolbar, mtFilterBar + 1>;

/// What an observer is told has changed; ocSync stands for every synchronisation setting.
enum TKOLVAOptChange : uint8_t {
    ocContentsDisplayMode,
    ocContentsDisplayOptions,
    ocDetailsSortMode,
    ocDetailsDisplayOptions,
    ocVisibleToolbars,
    ocWideFilter,
    ocDesignerRestrictions,
    ocUseIDEImages,
    ocSync
};
using TKOLVAOptChanges = TSet<TKOLVAOptChange, ocSync + 1>;

/// Whether a Ctrl-click on a filter button shows only that button's kind. The filter buttons
/// read this flag; the options only forward it. True at start-up.
bool FilterButtonsCtrlExclusive();
void SetFilterButtonsCtrlExclusive(bool Value);

class TKOLVAOptions;
class TKOLVAOptionsObserver;

/// The process-wide options, created with the defaults on first use, freed at exit.
TKOLVAOptions& KOLVAOptions();

class TKOLVAOptions : public TPersistent, public IPublished {
public:
    static const TPropTable& PropTable();
    const TPropTable& PublishedProps() const override { return PropTable(); }

    /// The defaults, no observers.
    TKOLVAOptions();
    /// Observers that outlive the options are detached.
    ~TKOLVAOptions() override;
    TKOLVAOptions(const TKOLVAOptions&) = delete;
    TKOLVAOptions& operator=(const TKOLVAOptions&) = delete;

    /// From other options: every option at once, with one notification.
    void Assign(const TPersistent& Source) override;

    void BeginUpdate();
    /// Closing the outermost bracket notifies once with every kind changed inside it.
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }
    TKOLVAOptChanges PendingChanges() const { return FPendingChanges; }
    const std::vector<TKOLVAOptionsObserver*>& Observers() const { return FObservers; }

    /// Sets every option that has a value in the registry's open key, inside one update
    /// bracket. A malformed number raises EConvertError: the options read before it stay,
    /// the rest of the key is not read, and the changes so far are notified.
    void LoadFromRegistry(TRegistry& Key);
    /// Writes every option to the registry's open key.
    void SaveToRegistry(TRegistry& Key) const;

    /// Ext (with or without a leading ".") is one of the source module extensions, ASCII
    /// case ignored.
    bool IsSourceModule(std::string_view Ext) const;
    /// The extensions themselves.
    const TStringList& SourceModuleList() const { return FSourceModules; }

    TContentsDisplayMode ContentsDisplayMode() const { return FContentsDisplayMode; }
    void SetContentsDisplayMode(TContentsDisplayMode Value);
    TContentsDisplayOptions ContentsDisplayOptions() const { return FContentsDisplayOptions; }
    void SetContentsDisplayOptions(TContentsDisplayOptions Value);
    /// Forwards FilterButtonsCtrlExclusive; reports no change.
    bool CtrlExclusiveFilters() const { return FilterButtonsCtrlExclusive(); }
    void SetCtrlExclusiveFilters(bool Value) { SetFilterButtonsCtrlExclusive(Value); }
    TDesignerRestrictions DesignerRestrictions() const { return FDesignerRestrictions; }
    void SetDesignerRestrictions(TDesignerRestrictions Value);
    TDetailsDisplayOptions DetailsDisplayOptions() const { return FDetailsDisplayOptions; }
    /// Also makes the code model's display texts show parameters exactly when ddShowParams
    /// is included (SetShowParameters).
    void SetDetailsDisplayOptions(TDetailsDisplayOptions Value);
    TDetailsSortMode DetailsSortMode() const { return FDetailsSortMode; }
    void SetDetailsSortMode(TDetailsSortMode Value);
    /// Milliseconds.
    int32_t GeneralSyncDelay() const { return FGeneralSyncDelay; }
    void SetGeneralSyncDelay(int32_t Value);
    int32_t ModifiedSyncDelay() const { return FModifiedSyncDelay; }
    void SetModifiedSyncDelay(int32_t Value);
    /// The extensions joined by ";" ("pas;dpr;dpk;inc"); an extension holding ",", ";" or a
    /// double quote is written in double quotes so that the text reads back the same.
    std::string SourceModules() const;
    /// Splits Text at "," and ";" (a double-quoted stretch is one word, words are not
    /// trimmed), removes one leading "*" and then one leading "." of each word and keeps
    /// the words that are not empty.
    void SetSourceModules(const std::string& Text);
    TSyncOptions SyncOptions() const { return FSyncOptions; }
    void SetSyncOptions(TSyncOptions Value);
    bool UseIDEImages() const { return FUseIDEImages; }
    void SetUseIDEImages(bool Value);
    TMemberToolbars VisibleToolbars() const { return FVisibleToolbars; }
    void SetVisibleToolbars(TMemberToolbars Value);
    bool WideFilter() const { return FWideFilter; }
    void SetWideFilter(bool Value);

private:
    friend class TKOLVAOptionsObserver;

    template <class T>
    void Update(T& Field, T Value, TKOLVAOptChange Change);
    void Changed(TKOLVAOptChange Change);
    void Notify(TKOLVAOptChanges Changes);

    TContentsDisplayMode FContentsDisplayMode = dmHierarchy;
    TContentsDisplayOptions FContentsDisplayOptions{cdShowType};
    TDesignerRestrictions FDesignerRestrictions =
        TDesignerRestrictions::All() - TDesignerRestrictions{drHideMethods};
    TDetailsDisplayOptions FDetailsDisplayOptions = TDetailsDisplayOptions::All();
    TDetailsSortMode FDetailsSortMode = smCode;
    int32_t FGeneralSyncDelay = 1000;
    int32_t FModifiedSyncDelay = 2000;
    TStringList FSourceModules{"pas", "dpr", "dpk", "inc"};
    TSyncOptions FSyncOptions{syManual, syOnModify};
    bool FUseIDEImages = true;
    TMemberToolbars FVisibleToolbars{mtToolbar, mtFilterBar};
    bool FWideFilter = true;

    std::vector<TKOLVAOptionsObserver*> FObservers;
    int FUpdateCount = 0;
    TKOLVAOptChanges FPendingChanges;
};

using TKOLVAOptionsChangeEvent = std::function<void(TKOLVAOptChanges Changes)>;

/// Hears the changes of one options object for as long as it exists.
class TKOLVAOptionsObserver : public TPersistent, public IPublished {
public:
    static const TPropTable& PropTable();
    const TPropTable& PublishedProps() const override { return PropTable(); }

    /// Joins Options' observers, after those already there.
    explicit TKOLVAOptionsObserver(TKOLVAOptions& Options = KOLVAOptions());
    /// Leaves the observers.
    ~TKOLVAOptionsObserver() override;
    TKOLVAOptionsObserver(const TKOLVAOptionsObserver&) = delete;
    TKOLVAOptionsObserver& operator=(const TKOLVAOptionsObserver&) = delete;

    /// The options observed; null once they are freed.
    TKOLVAOptions* Options() const { return FOptions; }
    /// A disabled observer hears nothing, and hears later changes again once enabled.
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    const TKOLVAOptionsChangeEvent& OnChange() const { return FOnChange; }
    void SetOnChange(TKOLVAOptionsChangeEvent Value) { FOnChange = std::move(Value); }

private:
    friend class TKOLVAOptions;
    TKOLVAOptions* FOptions;
    bool FEnabled = true;
    TKOLVAOptionsChangeEvent FOnChange;
};

} // namespace kolva
