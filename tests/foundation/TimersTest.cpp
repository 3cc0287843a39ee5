#include "foundation/Timers.h"

#include "support/ManualClock.h"
#include "support/Raised.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace kolva {
namespace {

using test::TManualClockScope;

/// Runs Count ticks of the pool and lists, one per firing, the tick number and what fired.
class TFiringLog {
public:
    explicit TFiringLog(TManualClockScope& Scope) : FScope(Scope) {}
    TPoolTimerEvent Event(std::string Name, std::function<void()> Also = {}) {
        return {this, [this, Name, Also](TPoolTimer&, int32_t) {
                    Log += (Log.empty() ? "" : " ") + std::to_string(FTick) + Name;
                    if (Also) Also();
                }};
    }
    void Run(int Count) {
        for (int i = 0; i < Count; ++i) {
            ++FTick;
            FScope.Clock.Ticks(1);
        }
    }
    std::string Log;

private:
    TManualClockScope& FScope;
    int FTick = 0;
};

struct TTimingRow {
    const char* Name;
    bool OneShot;
    int32_t Interval;
    uint32_t StartTick;
    const char* Fires; // tick numbers
};

class PoolTiming : public testing::TestWithParam<TTimingRow> {};

TEST_P(PoolTiming, FiresAtTheFirstTickPastItsInterval) {
    const TTimingRow& row = GetParam();
    TManualClockScope scope(row.StartTick);
    TFiringLog log(scope);
    TTimerPool& pool = TimerPool();
    const int32_t handle = row.OneShot ? pool.AddOneShot(row.Interval, log.Event(""))
                                       : pool.AddInterval(row.Interval, log.Event(""));
    log.Run(7);
    EXPECT_EQ(log.Log, row.Fires);
    if (row.OneShot) {
        EXPECT_EQ(pool.FindTimer(handle), nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Timers, PoolTiming,
    testing::Values(TTimingRow{"Interval250", false, 250, 0, "3 6"},
                    TTimingRow{"Interval100", false, 100, 0, "2 4 6"},
                    TTimingRow{"Interval0", false, 0, 0, "1 2 3 4 5 6 7"},
                    TTimingRow{"OneShot250", true, 250, 0, "3"},
                    TTimingRow{"OneShot100", true, 100, 0, "2"},
                    // The counter wraps between the second and the third tick.
                    TTimingRow{"AcrossTheWrap", false, 250, 0xFFFFFF00u, "3 6"},
                    TTimingRow{"OneShotAcrossTheWrap", true, 250, 0xFFFFFF9Cu, "3"}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(Timers, OneShotIsGoneAfterTheTickThatFollowsItsFiring) {
    TManualClockScope scope;
    TFiringLog log(scope);
    TTimerPool& pool = TimerPool();
    const int32_t handle = pool.AddOneShot(100, log.Event("x"));
    log.Run(2);
    ASSERT_EQ(log.Log, "2x");
    ASSERT_NE(pool.FindTimer(handle), nullptr);
    EXPECT_TRUE(pool.FindTimer(handle)->Done());
    log.Run(1);
    EXPECT_EQ(pool.FindTimer(handle), nullptr);
    EXPECT_EQ(pool.Timers().Count(), 0);
}

TEST(Timers, HandlesCountDownFrom9999ThenGoAboveTheLargest) {
    TManualClockScope scope;
    TTimerPool& pool = TimerPool();
    const TPoolTimerEvent none{&pool, {}};
    std::vector<int32_t> first;
    for (int i = 0; i < 3; ++i)
        first.push_back(pool.AddInterval(100, none));
    EXPECT_EQ(first, (std::vector<int32_t>{9999, 9998, 9997}));
    while (pool.LastHandle() > 0)
        pool.AddInterval(100, none);
    EXPECT_EQ(pool.AddInterval(100, none), 10000);
    EXPECT_EQ(pool.LastHandle(), 10000);
    // Once the handles at the bottom are freed, counting down resumes below the smallest.
    for (int32_t h = 0; h <= 5000; ++h)
        pool.Remove(&pool, h);
    scope.Clock.Ticks(1);
    EXPECT_EQ(pool.AddOneShot(100, none), 5000);
    // A wrong owner removes nothing.
    pool.Remove(&scope, 5000);
    EXPECT_FALSE(pool.FindTimer(5000)->Done());
}

// Callbacks that change the pool while it walks: every timer present before the tick is
// checked exactly once.
TEST(Timers, CallbacksMayAddAndRemoveTimersDuringTheWalk) {
    TManualClockScope scope;
    TFiringLog log(scope);
    TTimerPool& pool = TimerPool();
    int32_t top = 0, low = 0;
    top = pool.AddOneShot(100, log.Event("top", [&] {
        pool.Remove(&log, top);                  // itself
        pool.AddInterval(100, log.Event("new")); // in front of all others
    }));
    pool.AddOneShot(100, log.Event("mid", [&] { pool.Remove(&log, low); }));
    low = pool.AddOneShot(100, log.Event("low"));
    log.Run(4);
    EXPECT_EQ(log.Log, "2top 2mid 4new");
    EXPECT_EQ(pool.Timers().Count(), 1);
}

TEST(Timers, ATickFromInsideACallbackFreesNothing) {
    TManualClockScope scope;
    TFiringLog log(scope);
    TTimerPool& pool = TimerPool();
    int32_t modal = 0;
    // A callback that removes itself and then runs a message loop (a modal error box).
    modal = pool.AddInterval(100, log.Event("modal", [&] {
        pool.Remove(&log, modal);
        scope.Clock.Ticks(1);
    }));
    pool.AddInterval(100, log.Event("other"));
    log.Run(2);
    // The inner tick (time 300) checks "other"; the outer walk then finds it restarted.
    EXPECT_EQ(log.Log, "2modal 2other");
    EXPECT_NE(pool.FindTimer(modal), nullptr);
    log.Run(1);
    EXPECT_EQ(pool.FindTimer(modal), nullptr);
}

TEST(Timers, ARaisingCallbackEndsTheTickAndItsOneShotIsSpent) {
    TManualClockScope scope;
    TFiringLog log(scope);
    TTimerPool& pool = TimerPool();
    // The higher handle is walked first.
    const int32_t bad = pool.AddOneShot(
        100, {&log, [](TPoolTimer&, int32_t) { throw Exception("callback failed"); }});
    pool.AddInterval(100, log.Event("low"));
    log.Run(1);
    EXPECT_EQ(test::ErrorOf([&] { log.Run(1); }), "callback failed");
    EXPECT_TRUE(pool.FindTimer(bad)->Done());
    log.Run(1);
    EXPECT_EQ(log.Log, "3low");
    EXPECT_EQ(pool.FindTimer(bad), nullptr);
}

// ---------------------------------------------------------------------------------------
// Components

struct TComponentRow {
    const char* Name;
    bool OneShot;
    bool Retriggerable;
    /// What is set after which tick: "on", "off" or "interval".
    std::vector<std::pair<int, std::string>> Script;
    const char* Fires; // tick numbers
};

class ComponentTiming : public testing::TestWithParam<TComponentRow> {};

TEST_P(ComponentTiming, SettingEnabledOrIntervalRestartsTheWait) {
    const TComponentRow& row = GetParam();
    TManualClockScope scope;
    std::unique_ptr<TTimerPoolComponent> timer;
    if (row.OneShot) {
        auto oneShot = std::make_unique<TOneShotTimer>();
        oneShot->SetRetriggerable(row.Retriggerable);
        timer = std::move(oneShot);
    } else {
        timer = std::make_unique<TIntervalTimer>();
    }
    std::string fires;
    int tick = 0;
    timer->SetOnTimer([&](TObject* Sender) {
        EXPECT_EQ(Sender, timer.get());
        fires += (fires.empty() ? "" : " ") + std::to_string(tick);
    });
    for (tick = 0; tick <= 25; ++tick) {
        if (tick > 0) scope.Clock.Ticks(1);
        for (const auto& [at, action] : row.Script)
            if (at == tick) {
                if (action == "interval")
                    timer->SetInterval(timer->Interval());
                else
                    timer->SetEnabled(action == "on");
            }
    }
    EXPECT_EQ(fires, row.Fires);
}

INSTANTIATE_TEST_SUITE_P(
    Timers, ComponentTiming,
    testing::Values(
        TComponentRow{"Interval", false, true, {{0, "on"}}, "11 22"},
        TComponentRow{"IntervalSetAgain", false, true, {{0, "on"}, {5, "interval"}}, "16"},
        TComponentRow{"IntervalOff", false, true, {{0, "on"}, {5, "off"}}, ""},
        TComponentRow{"OneShot", true, true, {{0, "on"}}, "11"},
        TComponentRow{"Retriggered", true, true, {{0, "on"}, {5, "on"}}, "16"},
        TComponentRow{"NotRetriggerable", true, false, {{0, "on"}, {5, "on"}}, "11"},
        // Its wait is over, so enabling starts a new one.
        TComponentRow{"NotRetriggerableAfterFiring", true, false, {{0, "on"}, {12, "on"}}, "11 23"},
        TComponentRow{"OneShotOff", true, true, {{0, "on"}, {5, "off"}}, ""}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(Timers, ComponentsLeaveThePoolWithTheirEntries) {
    TManualClockScope scope;
    TTimerPool& pool = TimerPool();
    auto timer = std::make_unique<TIntervalTimer>();
    EXPECT_EQ(timer->Handle(), -1);
    timer->SetEnabled(true);
    const int32_t first = timer->Handle();
    EXPECT_EQ(first, 9999);
    timer->SetInterval(500); // a new entry; the old one is done
    EXPECT_TRUE(pool.FindTimer(first)->Done());
    const int32_t second = timer->Handle();
    // An entry may free its component from OnTimer.
    timer->SetOnTimer([&](TObject*) { timer.reset(); });
    scope.Clock.Ticks(6);
    EXPECT_FALSE(timer);
    EXPECT_TRUE(pool.FindTimer(second)->Done());
    scope.Clock.Ticks(1);
    EXPECT_EQ(pool.Timers().Count(), 0);

    // A component outliving the pool frees nothing that is gone.
    TOneShotTimer late;
    late.SetEnabled(true);
    FreeTimerPool();
    EXPECT_TRUE(TimerPoolShutdown());
}

TEST(Timers, TheHandlerChecksItsHandleAndTheShutdownFlag) {
    TManualClockScope scope;
    TIntervalTimer timer;
    int fired = 0;
    timer.SetOnTimer([&](TObject*) { ++fired; });
    timer.SetEnabled(true);
    TPoolTimer key;
    EXPECT_EQ(test::ErrorOf([&] { timer.PoolTimerFired(key, timer.Handle() - 1); }),
              "Timer pool handles do not match");
    timer.PoolTimerFired(key, timer.Handle());
    EXPECT_EQ(fired, 1);
    FreeTimerPool();
    timer.PoolTimerFired(key, timer.Handle());
    EXPECT_EQ(fired, 1);
}

} // namespace
} // namespace kolva
