// The explorer's filter buttons: flat toggle buttons in groups, where a click either makes
// the clicked button the only one pressed in its group or toggles it alone, depending on
// whether Ctrl is held and on the user's choice of which of the two Ctrl means.
#pragma once

#include <functional>
#include <QToolButton>

namespace kolva {

class TFilterButton : public QToolButton {
public:
    explicit TFilterButton(QWidget* Parent = nullptr);

    bool Down() const { return isChecked(); }
    /// Sets the state without the click notification.
    void SetDown(bool Value) { setChecked(Value); }
    /// Buttons of one parent with the same group index form a group.
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value) { FGroupIndex = Value; }
    bool Flat() const { return autoRaise(); }
    void SetFlat(bool Value) { setAutoRaise(Value); }
    /// Index into the model images; -1 shows none.
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);

    /// A click as the user makes it, with or without Ctrl: exclusive when Ctrl held equals
    /// the option "Ctrl exclusive filters", a toggle otherwise; then OnClick.
    void Click(bool CtrlHeld);
    /// Fired after every click, once the group's states are set.
    std::function<void(TFilterButton&)> OnClick;

protected:
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void nextCheckState() override;

private:
    void ApplyClick(bool CtrlHeld);

    int FGroupIndex = 0;
    int FImageIndex = -1;
    bool FCtrlHeld = false;
};

/// Whether a click with Ctrl held (or not) is exclusive under the current option.
bool ExclusiveClick(bool CtrlHeld);

} // namespace kolva
