// Test support: a timer service whose time moves only when a test says so. Its tick counter
// may start anywhere (just below the 32-bit wrap, say); advancing delivers the ticks of every
// timer that falls due on the way, in time order.
#pragma once

#include "platform/PlatformTimer.h"

#include <cstdint>
#include <vector>

namespace kolva::test {

class TManualClock : public ITimerService {
public:
    explicit TManualClock(uint32_t Start = 0) : FStart(Start) {}
    ~TManualClock() override;

    uint32_t GetTickCount() override { return static_cast<uint32_t>(FStart + FElapsed); }
    std::unique_ptr<IPlatformTimer> StartTimer(uint32_t Interval,
                                               std::function<void()> OnTick) override;

    /// Moves time on by Milliseconds, running each tick that falls due at its moment.
    void Advance(uint64_t Milliseconds);
    /// Advances by Count periods of the pool's 100 ms timer.
    void Ticks(int Count) { Advance(uint64_t(Count) * 100); }

private:
    class TTimer;
    friend class TTimer;
    uint64_t FStart;
    uint64_t FElapsed = 0;
    std::vector<TTimer*> FTimers;
};

/// Installs a manual clock as the timer service for a test's lifetime, with a fresh process
/// pool over it; the pool is freed and the previous service restored at the end.
class TManualClockScope {
public:
    explicit TManualClockScope(uint32_t Start = 0);
    ~TManualClockScope();
    TManualClockScope(const TManualClockScope&) = delete;
    TManualClockScope& operator=(const TManualClockScope&) = delete;

    TManualClock Clock;

private:
    ITimerService* FPrevious;
};

} // namespace kolva::test
