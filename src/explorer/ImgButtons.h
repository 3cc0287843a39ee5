// A tool button that shows one of the model images and can stay pressed.
#pragma once

#include <QToolButton>

namespace kolva {

class TImageSpeedButton : public QToolButton {
public:
    explicit TImageSpeedButton(QWidget* Parent = nullptr);
    int ImageIndex() const { return FImageIndex; }
    /// Index into the model images; -1 shows none.
    void SetImageIndex(int Value);
    bool Down() const { return isDown() || isChecked(); }
    /// Pressed for good: the button becomes checkable for it.
    void SetDown(bool Value);

private:
    int FImageIndex = -1;
};

} // namespace kolva
