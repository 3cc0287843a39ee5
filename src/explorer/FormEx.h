// A window that can also live inside another window: created embedded, it is a plain child
// without caption or border, as the explorer is inside the dockable host window.
#pragma once

#include <QWidget>

namespace kolva {

class TFormEx : public QWidget {
public:
    /// Embedded needs an owner; without one the form is a top-level window all the same.
    explicit TFormEx(QWidget* Owner = nullptr, bool Embedded = false);
    bool Embedded() const { return FEmbedded; }

private:
    bool FEmbedded;
};

} // namespace kolva
