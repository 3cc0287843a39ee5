#include "explorer/ASListView.h"

#include <algorithm>
#include <QDragMoveEvent>
#include <QScrollBar>

namespace kolva {

TAutoScrollListView::TAutoScrollListView(QWidget* Parent) : TListViewEx(Parent) {
    setAutoScroll(false); // the list's own edge scrolling would race the timer's
    FTimer.SetOnTimer([this](TObject*) { Scroll(); });
}

void TAutoScrollListView::SetAutoScrollInterval(int Value) {
    FAutoScrollInterval = std::max(50, Value);
    FMinAutoScrollInterval = std::min(FMinAutoScrollInterval, FAutoScrollInterval);
}

void TAutoScrollListView::SetMinAutoScrollInterval(int Value) {
    FMinAutoScrollInterval = std::min(std::max(50, Value), FAutoScrollInterval);
}

int TAutoScrollListView::RowHeight() const {
    int Height = sizeHintForRow(0);
    return Height > 0 ? Height : fontMetrics().height();
}

int TAutoScrollListView::ZoneHeight() const {
    int Row = RowHeight();
    int Client = viewport()->height();
    return std::max(0, std::min(Row, (Client - 2 * Row) / 2));
}

int TAutoScrollListView::ZoneAt(int Y) const {
    int Zone = ZoneHeight();
    if (Zone <= 0) return 0;
    if (Y < Zone) return -1;
    if (Y >= viewport()->height() - Zone) return 1;
    return 0;
}

int TAutoScrollListView::NextInterval(int Interval) const {
    if (Interval <= FMinAutoScrollInterval) return Interval;
    return std::max(FMinAutoScrollInterval, 3 * Interval / 4);
}

void TAutoScrollListView::DragOver(int Y) {
    int Zone = ZoneAt(Y);
    if (Zone == FZone) return;
    FZone = Zone;
    if (Zone == 0) return DragEnded();
    FInterval = FAutoScrollInterval;
    FTimer.SetInterval(FInterval);
    FTimer.SetEnabled(true);
}

void TAutoScrollListView::DragEnded() {
    FZone = 0;
    FTimer.SetEnabled(false);
}

void TAutoScrollListView::Scroll() {
    QScrollBar* Bar = verticalScrollBar();
    bool CanScroll = FZone < 0 ? Bar->value() > Bar->minimum() : Bar->value() < Bar->maximum();
    if (FZone == 0) return;
    if (!CanScroll) return FTimer.SetEnabled(false);
    Bar->setValue(Bar->value() + FZone * Bar->singleStep());
    FInterval = NextInterval(FInterval);
    FTimer.SetInterval(FInterval);
    FTimer.SetEnabled(true);
}

void TAutoScrollListView::dragMoveEvent(QDragMoveEvent* Event) {
    TListViewEx::dragMoveEvent(Event);
    DragOver(Event->position().toPoint().y());
}

void TAutoScrollListView::dragLeaveEvent(QDragLeaveEvent* Event) {
    TListViewEx::dragLeaveEvent(Event);
    DragEnded();
}

void TAutoScrollListView::dropEvent(QDropEvent* Event) {
    DragEnded();
    TListViewEx::dropEvent(Event);
}

} // namespace kolva
