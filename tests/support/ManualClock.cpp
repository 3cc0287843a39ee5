#include "support/ManualClock.h"

#include "foundation/Timers.h"

#include <algorithm>

namespace kolva::test {

class TManualClock::TTimer : public IPlatformTimer {
public:
    TTimer(TManualClock& Clock, uint32_t Interval, std::function<void()> OnTick)
        : Clock(&Clock), Interval(std::max<uint32_t>(Interval, 1)), Due(Clock.FElapsed + Interval),
          OnTick(std::move(OnTick)) {
        Clock.FTimers.push_back(this);
    }
    ~TTimer() override {
        if (Clock) std::erase(Clock->FTimers, this);
    }

    TManualClock* Clock;
    uint64_t Interval;
    uint64_t Due;
    std::function<void()> OnTick;
};

TManualClock::~TManualClock() {
    for (TTimer* timer : FTimers)
        timer->Clock = nullptr;
}

std::unique_ptr<IPlatformTimer> TManualClock::StartTimer(uint32_t Interval,
                                                         std::function<void()> OnTick) {
    return std::make_unique<TTimer>(*this, Interval, std::move(OnTick));
}

void TManualClock::Advance(uint64_t Milliseconds) {
    const uint64_t target = FElapsed + Milliseconds;
    for (;;) {
        // A tick may start or free timers, so the next one due is looked up each time.
        auto next = std::min_element(FTimers.begin(), FTimers.end(),
                                     [](TTimer* a, TTimer* b) { return a->Due < b->Due; });
        if (next == FTimers.end() || (*next)->Due > target) break;
        TTimer& timer = **next;
        FElapsed = timer.Due;
        timer.Due += timer.Interval;
        timer.OnTick();
    }
    // A tick run from inside a tick (a modal loop) may already have gone further.
    FElapsed = std::max(FElapsed, target);
}

TManualClockScope::TManualClockScope(uint32_t Start) : Clock(Start) {
    FreeTimerPool();
    FPrevious = SetTimerService(&Clock);
    TimerPool();
}

TManualClockScope::~TManualClockScope() {
    FreeTimerPool();
    SetTimerService(FPrevious);
}

} // namespace kolva::test
