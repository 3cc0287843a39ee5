// Qt reports showing, hiding and floating as signals of the dock widget; they are passed on to
// the add-in's events object as the IDE's OnShow, OnHide, OnUnDock and OnEndDock.
#include "host/DockFrame.h"

#include "host/EditWindow.h"

namespace kolva {

TDockFrame::TDockFrame(TEditWindow& Window, const std::string& Name)
    : QDockWidget(QString::fromStdString(Name), &Window) {
    setObjectName(QString::fromStdString(Name));
    Window.addDockWidget(Qt::RightDockWidgetArea, this);
    hide();
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool Visible) {
        if (!FEvents) return;
        if (Visible)
            FEvents->OnShow();
        else
            FEvents->OnHide();
    });
    connect(this, &QDockWidget::topLevelChanged, this, [this](bool Floating) {
        if (!FEvents) return;
        if (Floating)
            FEvents->OnUnDock();
        else
            FEvents->OnEndDock();
    });
}

TDockFrame::~TDockFrame() {
    if (FEvents) FEvents->OnDestroy();
}

std::string TDockFrame::GetName() noexcept {
    return objectName().toStdString();
}

void TDockFrame::Show() noexcept {
    show();
    raise();
}

} // namespace kolva
