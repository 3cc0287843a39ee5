// Qt reports showing, hiding and floating as signals of the dock widget; they are passed on to
// the add-in's events object as the IDE's OnShow, OnHide, OnUnDock and OnEndDock.
#include "host/DockFrame.h"

#include "host/EditWindow.h"

#include <QVBoxLayout>

namespace kolva {

TDockFrame::TDockFrame(TEditWindow& Window, const std::string& Name)
    : QDockWidget(QString::fromStdString(Name), &Window) {
    setObjectName(QString::fromStdString(Name));
    auto* client = new QWidget(this);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    setWidget(client);
    Window.addDockWidget(Qt::RightDockWidgetArea, this);
    hide();
    // Floating and docking hide and show the widget on the way; the add-in hears only where
    // visibility ends up, once the event loop has settled it.
    connect(this, &QDockWidget::visibilityChanged, this, [this] {
        QMetaObject::invokeMethod(this, &TDockFrame::ReportVisibility, Qt::QueuedConnection);
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

void TDockFrame::ReportVisibility() {
    bool visible = isVisible();
    if (visible == FReportedVisible || !FEvents) return;
    FReportedVisible = visible;
    if (visible)
        FEvents->OnShow();
    else
        FEvents->OnHide();
}

std::string TDockFrame::GetName() noexcept {
    return objectName().toStdString();
}

void TDockFrame::Show() noexcept {
    show();
    raise();
}

} // namespace kolva
