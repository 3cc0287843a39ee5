#include "explorer/FiltrBtn.h"

#include "explorer/ModelImages.h"
#include "settings/KOLVAOpts.h"

#include <QMouseEvent>

namespace kolva {

bool ExclusiveClick(bool CtrlHeld) {
    return CtrlHeld == FilterButtonsCtrlExclusive();
}

TFilterButton::TFilterButton(QWidget* Parent) : QToolButton(Parent) {
    setCheckable(true);
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QToolButton::clicked, this, [this] {
        if (OnClick) OnClick(*this);
    });
}

void TFilterButton::SetImageIndex(int Value) {
    FImageIndex = Value;
    setIcon(Value < 0 ? QIcon() : ModelIcon(static_cast<TModelImage>(Value)));
}

void TFilterButton::mouseReleaseEvent(QMouseEvent* Event) {
    FCtrlHeld = Event->modifiers().testFlag(Qt::ControlModifier);
    QToolButton::mouseReleaseEvent(Event);
}

// Qt toggles a checkable button on its own; the group's convention decides instead.
void TFilterButton::nextCheckState() {
    ApplyClick(FCtrlHeld);
    FCtrlHeld = false;
}

void TFilterButton::ApplyClick(bool CtrlHeld) {
    if (!ExclusiveClick(CtrlHeld)) {
        setChecked(!isChecked());
    } else {
        if (parentWidget())
            // Found as tool buttons: the class has no meta-object of its own to search by.
            for (auto* Button :
                 parentWidget()->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly)) {
                auto* Other = dynamic_cast<TFilterButton*>(Button);
                if (Other && Other != this && Other->FGroupIndex == FGroupIndex)
                    Other->setChecked(false);
            }
        setChecked(true);
    }
}

void TFilterButton::Click(bool CtrlHeld) {
    ApplyClick(CtrlHeld);
    if (OnClick) OnClick(*this);
}

} // namespace kolva
