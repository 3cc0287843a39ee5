// A list that scrolls by itself while something is dragged over its top or bottom edge, so
// that members can be dropped on rows out of sight; the scrolling speeds up while the drag
// stays in the edge.
#pragma once

#include "explorer/ComCtrlsEx.h"
#include "foundation/Timers.h"

namespace kolva {

class TAutoScrollListView : public TListViewEx {
public:
    explicit TAutoScrollListView(QWidget* Parent = nullptr);

    /// The first wait, in milliseconds (at least 50; default 250).
    int AutoScrollInterval() const { return FAutoScrollInterval; }
    void SetAutoScrollInterval(int Value);
    /// The shortest wait the speeding up reaches (at least 50, at most the first; default
    /// 100).
    int MinAutoScrollInterval() const { return FMinAutoScrollInterval; }
    void SetMinAutoScrollInterval(int Value);

    /// -1 in the top zone, 1 in the bottom zone, 0 elsewhere, for a point in viewport
    /// coordinates.
    int ZoneAt(int Y) const;
    /// The height of each zone: the smaller of one row and half of (client height - 2
    /// rows), never negative.
    int ZoneHeight() const;
    /// The wait after one of Interval while speeding up.
    int NextInterval(int Interval) const;

    /// What a drag at Y does; the drag events call these, tests may too.
    void DragOver(int Y);
    void DragEnded();
    /// The zone the timer scrolls towards (0 when it is stopped).
    int ScrollingZone() const { return FZone; }
    int CurrentInterval() const { return FInterval; }

protected:
    void dragMoveEvent(QDragMoveEvent* Event) override;
    void dragLeaveEvent(QDragLeaveEvent* Event) override;
    void dropEvent(QDropEvent* Event) override;

private:
    void Scroll();
    int RowHeight() const;

    TOneShotTimer FTimer;
    int FAutoScrollInterval = 250;
    int FMinAutoScrollInterval = 100;
    int FInterval = 250;
    int FZone = 0;
};

} // namespace kolva
