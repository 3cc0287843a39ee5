#include "foundation/Timers.h"

#include "support/ManualClock.h"
#include "support/Raised.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

/// A pool over a hand-driven clock, and the firings of its timers as "<tick><name>" words,
/// ticks counted from the clock's start.
struct TPoolFixture {
    explicit TPoolFixture(uint32_t Start = 0) : Scope(Start), Start(Start) {}
    TPoolTimerEvent Event(std::string Name, std::function<void()> Also = {}) {
        return {this, [this, Name, Also](TPoolTimer&, int32_t) {
                    const uint32_t tick = ElapsedTicks(Start, Scope.Clock.GetTickCount()) / 100;
                    Log += (Log.empty() ? "" : " ") + std::to_string(tick) + Name;
                    if (Also) Also();
                }};
    }
    test::TManualClockScope Scope;
    uint32_t Start;
    TTimerPool& Pool = TimerPool();
    std::string Log;
};

struct TTimingRow {
    const char* Name;
    bool OneShot;
    int32_t Interval;
    uint32_t StartTick;
    const char* Fires;
};

class PoolTiming : public testing::TestWithParam<TTimingRow> {};

TEST_P(PoolTiming, FiresAtTheFirstTickPastItsInterval) {
    const TTimingRow& row = GetParam();
    TPoolFixture f(row.StartTick);
    const int32_t handle = row.OneShot ? f.Pool.AddOneShot(row.Interval, f.Event(""))
                                       : f.Pool.AddInterval(row.Interval, f.Event(""));
    f.Scope.Clock.Ticks(7);
    EXPECT_EQ(f.Log, row.Fires);
    // A one-shot is done once it has fired, and gone after the tick that follows.
    EXPECT_EQ(f.Pool.FindTimer(handle) == nullptr, row.OneShot);
}

INSTANTIATE_TEST_SUITE_P(
    Timers, PoolTiming,
    testing::Values(TTimingRow{"Interval250", false, 250, 0, "3 6"},
                    TTimingRow{"Interval100", false, 100, 0, "2 4 6"},
                    TTimingRow{"OneShot250", true, 250, 0, "3"},
                    // The counter wraps between the second and the third tick.
                    TTimingRow{"AcrossTheWrap", false, 250, 0xFFFFFF00u, "3 6"},
                    TTimingRow{"OneShotAcrossTheWrap", true, 250, 0xFFFFFF9Cu, "3"}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(Timers, HandlesCountDownFrom9999ThenGoAboveTheLargest) {
    TPoolFixture f;
    std::vector<int32_t> first;
    for (int i = 0; i < 3; ++i)
        first.push_back(f.Pool.AddInterval(100, f.Event("")));
    EXPECT_EQ(first, (std::vector<int32_t>{9999, 9998, 9997}));
    while (f.Pool.LastHandle() > 0)
        f.Pool.AddInterval(100, f.Event(""));
    EXPECT_EQ(f.Pool.AddInterval(100, f.Event("")), 10000);
    // Once the handles at the bottom are freed, counting down resumes below the smallest.
    for (int32_t h = 0; h <= 5000; ++h)
        f.Pool.Remove(&f, h);
    f.Scope.Clock.Ticks(1);
    EXPECT_EQ(f.Pool.AddOneShot(100, f.Event("")), 5000);
    f.Pool.Remove(&f.Log, 5000); // not its owner
    EXPECT_FALSE(f.Pool.FindTimer(5000)->Done());
}

// Every timer present before a tick is checked exactly once, whatever callbacks do.
TEST(Timers, CallbacksMayAddAndRemoveTimersDuringTheWalk) {
    TPoolFixture f;
    int32_t top = 0, low = 0;
    top = f.Pool.AddOneShot(100, f.Event("top", [&] {
        f.Pool.Remove(&f, top);                  // itself
        f.Pool.AddInterval(100, f.Event("new")); // in front of all others
    }));
    f.Pool.AddOneShot(100, f.Event("mid", [&] { f.Pool.Remove(&f, low); }));
    low = f.Pool.AddOneShot(100, f.Event("low"));
    f.Scope.Clock.Ticks(4);
    EXPECT_EQ(f.Log, "2top 2mid 4new");
    EXPECT_EQ(f.Pool.Timers().Count(), 1);
}

TEST(Timers, ATickFromInsideACallbackFreesNothing) {
    TPoolFixture f;
    int32_t modal = 0;
    // A callback that removes itself and then runs a message loop (a modal error box).
    modal = f.Pool.AddInterval(100, f.Event("modal", [&] {
        f.Pool.Remove(&f, modal);
        f.Scope.Clock.Ticks(1);
    }));
    f.Pool.AddInterval(100, f.Event("other"));
    f.Scope.Clock.Ticks(2);
    // The inner tick fires "other"; the outer walk then finds it restarted.
    EXPECT_EQ(f.Log, "2modal 3other");
    EXPECT_NE(f.Pool.FindTimer(modal), nullptr);
    f.Scope.Clock.Ticks(1);
    EXPECT_EQ(f.Pool.FindTimer(modal), nullptr);
}

// ---------------------------------------------------------------------------------------
// Components

struct TComponentRow {
    const char* Name;
    bool OneShot;
    bool Retriggerable;
    std::vector<std::pair<int, std::string>> Script; // after which tick: on, off, interval
    const char* Fires;
};

class ComponentTiming : public testing::TestWithParam<TComponentRow> {};

TEST_P(ComponentTiming, SettingEnabledOrIntervalRestartsTheWait) {
    const TComponentRow& row = GetParam();
    TPoolFixture f;
    std::unique_ptr<TTimerPoolComponent> timer;
    if (row.OneShot) {
        auto oneShot = std::make_unique<TOneShotTimer>();
        oneShot->SetRetriggerable(row.Retriggerable);
        timer = std::move(oneShot);
    } else {
        timer = std::make_unique<TIntervalTimer>();
    }
    std::string fires;
    timer->SetOnTimer([&](TObject* Sender) {
        EXPECT_EQ(Sender, timer.get());
        fires += (fires.empty() ? "" : " ") + std::to_string(f.Scope.Clock.GetTickCount() / 100);
    });
    for (int tick = 0; tick <= 25; f.Scope.Clock.Ticks(1), ++tick)
        for (const auto& [at, action] : row.Script)
            if (at != tick)
                continue;
            else if (action == "interval")
                timer->SetInterval(timer->Interval());
            else
                timer->SetEnabled(action == "on");
    EXPECT_EQ(fires, row.Fires);
}

INSTANTIATE_TEST_SUITE_P(
    Timers, ComponentTiming,
    testing::Values(
        TComponentRow{"Interval", false, true, {{0, "on"}}, "11 22"},
        TComponentRow{"IntervalSetAgain", false, true, {{0, "on"}, {5, "interval"}}, "16"},
        TComponentRow{"Retriggered", true, true, {{0, "on"}, {5, "on"}}, "16"},
        TComponentRow{"NotRetriggerable", true, false, {{0, "on"}, {5, "on"}}, "11"},
        // Its wait is over, so enabling starts a new one.
        TComponentRow{"NotRetriggerableAfterFiring", true, false, {{0, "on"}, {12, "on"}}, "11 23"},
        TComponentRow{"OneShotOff", true, true, {{0, "on"}, {5, "off"}}, ""}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(Timers, ComponentsCheckTheirHandleAndLeaveThePoolWithTheirEntries) {
    TPoolFixture f;
    auto timer = std::make_unique<TIntervalTimer>();
    int fired = 0;
    timer->SetOnTimer([&](TObject*) { ++fired; });
    timer->SetEnabled(true);
    const int32_t handle = timer->Handle();
    TPoolTimer key;
    EXPECT_EQ(test::ErrorOf([&] { timer->PoolTimerFired(key, handle - 1); }),
              "Timer pool handles do not match");
    // A component may free itself from OnTimer; its entry is then done.
    timer->SetOnTimer([&](TObject*) { timer.reset(); });
    f.Scope.Clock.Ticks(11);
    EXPECT_FALSE(timer);
    EXPECT_TRUE(f.Pool.FindTimer(handle)->Done());

    TOneShotTimer late;
    late.SetOnTimer([&](TObject*) { ++fired; });
    late.SetEnabled(true);
    FreeTimerPool(); // before the component: no callback any more, nothing left to remove
    late.PoolTimerFired(key, late.Handle());
    EXPECT_EQ(fired, 0);
}

} // namespace
} // namespace kolva
