#include "explorer/FormEx.h"

namespace kolva {

TFormEx::TFormEx(QWidget* Owner, bool Embedded)
    : QWidget(Owner, Embedded && Owner ? Qt::Widget : Qt::Window), FEmbedded(Embedded && Owner) {}

} // namespace kolva
