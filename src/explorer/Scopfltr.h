// The visibility filter of the member list: one filter button per visibility (default,
// private, protected, public, published, automated) and a button that shows all or none.
#pragma once

#include "explorer/FiltrBtn.h"
#include "model/FWEngineDefs.h"

#include <array>
#include <functional>
#include <QWidget>
#include <string>

class QBoxLayout;

namespace kolva {

/// The six visibilities a user filters by.
inline constexpr int ScopeCount = 6;

class TScopeFilter : public QWidget {
public:
    explicit TScopeFilter(QWidget* Parent = nullptr);

    /// The visibilities shown; only the six of the buttons count.
    TVisibilities Scopes() const;
    /// Sets the buttons from Value and fires OnFilterChange once when anything changed.
    void SetScopes(TVisibilities Value);
    /// Scopes as the bits 0 to 5 of an integer.
    int FilterValue() const { return static_cast<int>(Scopes().Bits()); }
    void SetFilterValue(int Value) { SetScopes(TVisibilities::FromBits(Value & 63)); }

    int ButtonWidth() const { return FButtonWidth; }
    /// At least 20.
    void SetButtonWidth(int Value);
    int ButtonHeight() const { return FButtonHeight; }
    /// At least 21.
    void SetButtonHeight(int Value);
    /// The first of six consecutive model images, one per visibility.
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    /// Six lines, one hint per button.
    void SetHints(const std::array<std::string, ScopeCount>& Hints);
    bool ShowAllBtn() const { return FShowAllBtn; }
    void SetShowAllBtn(bool Value);
    void SetShowAllHint(const std::string& Hint);
    void SetFlat(bool Value);
    /// The buttons in the order automated .. default.
    bool Reversed() const { return FReversed; }
    void SetReversed(bool Value);
    /// The buttons of the other visibilities are disabled.
    void SetEnabledVisibilities(TVisibilities Value);

    /// The show-all button: all six when not all are set, none when all are.
    void ShowAll();
    TFilterButton& Button(TVisibility Visibility) { return *FButtons[Visibility]; }

    std::function<void(TScopeFilter&)> OnFilterChange;

private:
    void Changed();
    void Arrange();

    std::array<TFilterButton*, ScopeCount> FButtons{};
    QToolButton* FShowAll = nullptr;
    QBoxLayout* FLayout = nullptr;
    int FButtonWidth = 20;
    int FButtonHeight = 21;
    int FImageIndex = 7;
    int FUpdating = 0;
    bool FShowAllBtn = true;
    bool FReversed = false;
};

} // namespace kolva
