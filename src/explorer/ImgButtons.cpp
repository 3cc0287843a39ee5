#include "explorer/ImgButtons.h"

#include "explorer/ModelImages.h"

namespace kolva {

TImageSpeedButton::TImageSpeedButton(QWidget* Parent) : QToolButton(Parent) {
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
}

void TImageSpeedButton::SetImageIndex(int Value) {
    FImageIndex = Value;
    setIcon(Value < 0 ? QIcon() : ModelIcon(static_cast<TModelImage>(Value)));
}

void TImageSpeedButton::SetDown(bool Value) {
    if (Value) setCheckable(true);
    setChecked(Value);
}

} // namespace kolva
