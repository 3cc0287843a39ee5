// The timer pool: one platform timer, ticking every 100 milliseconds, drives every delayed and
// periodic action of the add-in. Each pool timer has its own interval and callback and is
// known by a handle; the components `TIntervalTimer` and `TOneShotTimer` wrap one pool entry
// each, so that a window uses them like ordinary timers (`Enabled`, `Interval`, `OnTimer`).
//
// Time is read from the platform's wrapping 32-bit millisecond counter at each tick, so the
// resolution of every timer is the tick: a timer fires at the first tick at which strictly
// more than its interval has passed since it started. A callback may add and remove timers
// (its own included); a removed timer is only marked done and is freed by a later tick.
// Once the process pool is being freed, no callback fires any more.
#pragma once

#include "foundation/Containr.h"
#include "foundation/Propinfo.h"
#include "platform/PlatformTimer.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace kolva {

class TPoolTimer;

/// A pool timer's callback. `Owner` stands for the object of a method pointer: only the
/// owner may remove the timer. `Code` receives the timer and its handle.
struct TPoolTimerEvent {
    const void* Owner = nullptr;
    std::function<void(TPoolTimer& Timer, int32_t Handle)> Code;
    explicit operator bool() const { return bool(Code); }
};

/// Milliseconds from Start to Now on the 32-bit tick counter, also across its wrap.
uint32_t ElapsedTicks(uint32_t Start, uint32_t Now);

/// One entry of the pool. The bare class never fires; it serves as the key of searches.
class TPoolTimer : public TObject {
public:
    TPoolTimer() = default;
    TPoolTimer(int32_t Handle, int32_t Interval, TPoolTimerEvent Callback);

    /// Called at every tick with the tick count of that tick.
    virtual void Check(uint32_t Now);

    int32_t Handle() const { return FHandle; }
    int32_t Interval() const { return FInterval; }
    const TPoolTimerEvent& Callback() const { return FCallback; }
    bool Running() const { return FRunning; }
    uint32_t StartTick() const { return FStartTick; }
    /// A done timer never starts again and is freed at the next tick.
    bool Done() const { return FDone; }

    /// Restarts the wait from Now; nothing for a done timer.
    void Start(uint32_t Now);
    void Stop() { FRunning = false; }
    void MarkDone();
    /// Running, and more than Interval milliseconds since StartTick.
    bool Expired(uint32_t Now) const;

protected:
    /// Calls the callback when it is set and the pool is not shut down.
    void Fire();

private:
    friend class TTimerPool;
    int32_t FHandle = 0;
    int32_t FInterval = 0;
    TPoolTimerEvent FCallback;
    bool FRunning = false;
    uint32_t FStartTick = 0;
    bool FDone = false;
};

/// Fires at every expiry and starts waiting again at once.
class TIntervalPoolTimer : public TPoolTimer {
public:
    using TPoolTimer::TPoolTimer;
    void Check(uint32_t Now) override;
};

/// Fires once, then is done.
class TOneShotPoolTimer : public TPoolTimer {
public:
    using TPoolTimer::TPoolTimer;
    void Check(uint32_t Now) override;
};

/// The pool's timers in ascending order of their handles; it owns them.
class TPoolTimerCollection : public TCollection {
public:
    TPoolTimerCollection();
    int Compare(const void* Key1, const void* Key2) const override;
    /// Timers have no display text: Text becomes empty.
    void GetItemText(int Index, std::string& Text) const override;
    TPoolTimer& Timer(int Index) const { return static_cast<TPoolTimer&>(*Items(Index)); }
};

class TTimerPool : public TObject {
public:
    /// The period of the platform timer, in milliseconds.
    static constexpr uint32_t TickInterval = 100;

    /// Starts a platform timer of Service whose ticks run Tick.
    explicit TTimerPool(ITimerService& Service);
    ~TTimerPool() override;
    TTimerPool(const TTimerPool&) = delete;
    TTimerPool& operator=(const TTimerPool&) = delete;

    /// Add a started timer with a new handle and return the handle.
    int32_t AddInterval(int32_t Interval, TPoolTimerEvent Callback);
    int32_t AddOneShot(int32_t Interval, TPoolTimerEvent Callback);
    /// Stops the timer Handle and marks it done when its callback's owner is Owner; an
    /// unknown handle or another owner is ignored.
    void Remove(const void* Owner, int32_t Handle);
    /// Stops every timer and marks it done.
    void StopAll();
    /// The timer with Handle (done or not, until a tick frees it); null when there is none.
    TPoolTimer* FindTimer(int32_t Handle) const;

    /// One tick: walks the timers from the highest handle down, freeing done ones and
    /// checking the others. Callbacks may add and remove timers; no timer present before
    /// the tick is skipped or checked twice. A tick run from inside a callback (a modal
    /// message loop) checks but frees nothing, so the outer walk never loses its timer. An
    /// exception from a callback ends the walk and reaches the caller.
    void Tick();

    /// The handle given out last (0 before the first).
    int32_t LastHandle() const { return FLastHandle; }
    const TPoolTimerCollection& Timers() const { return FTimers; }

private:
    int32_t NewHandle() const;
    int32_t Add(std::unique_ptr<TPoolTimer> Timer);

    ITimerService& FService;
    int32_t FLastHandle = 0;
    TPoolTimerCollection FTimers;
    std::unique_ptr<IPlatformTimer> FTimer;
    mutable TPoolTimer FKey;
    int FWalkDepth = 0;
};

/// The process's pool over the installed timer service, created on first use.
TTimerPool& TimerPool();
/// The process's pool, or null before its first use and after FreeTimerPool.
TTimerPool* ExistingTimerPool();
/// Sets the shutdown flag and frees the process's pool. A pool created afterwards (a library
/// loaded again) clears the flag.
/// EXPECTS: not called from inside a timer callback.
void FreeTimerPool();
/// Set while the process's pool is being freed and after: callbacks are suppressed.
bool TimerPoolShutdown();

// ---------------------------------------------------------------------------------------
// Components

/// A non-visual timer component over one entry of the process's pool. Setting `Enabled` or
/// `Interval` (even to the value it has) restarts the wait from zero.
class TTimerPoolComponent : public TPersistent, public IPublished {
public:
    static const TPropTable& PropTable();
    const TPropTable& PublishedProps() const override { return PropTable(); }

    TTimerPoolComponent() = default;
    /// Removes its entry from the pool while the pool exists.
    ~TTimerPoolComponent() override;
    TTimerPoolComponent(const TTimerPoolComponent&) = delete;
    TTimerPoolComponent& operator=(const TTimerPoolComponent&) = delete;

    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);
    int32_t Interval() const { return FInterval; }
    void SetInterval(int32_t Value);
    const TNotifyEvent& OnTimer() const { return FOnTimer; }
    void SetOnTimer(TNotifyEvent Value) { FOnTimer = std::move(Value); }
    /// The handle of the current pool entry, -1 when there is none.
    int32_t Handle() const { return FHandle; }

    /// The pool's callback: raises "Timer pool handles do not match" for a handle other
    /// than Handle(); otherwise calls OnTimer(this) unless the pool is shut down. OnTimer
    /// may free the component.
    void PoolTimerFired(TPoolTimer& Timer, int32_t Handle);

protected:
    /// Removes the current entry and, while enabled, adds a new one.
    virtual void UpdateTimer();
    /// Adds this component's kind of entry to Pool and returns its handle.
    virtual int32_t AddEntry(TTimerPool& Pool) = 0;
    /// The callback of this component's entries.
    TPoolTimerEvent Callback();
    /// The current entry while it is in the pool and still running, else null.
    const TPoolTimer* RunningEntry() const;

private:
    bool FEnabled = false;
    int32_t FInterval = 1000;
    TNotifyEvent FOnTimer;
    int32_t FHandle = -1;
};

class TIntervalTimer : public TTimerPoolComponent {
public:
    static const TPropTable& PropTable();
    const TPropTable& PublishedProps() const override { return PropTable(); }

protected:
    int32_t AddEntry(TTimerPool& Pool) override;
};

class TOneShotTimer : public TTimerPoolComponent {
public:
    static const TPropTable& PropTable();
    const TPropTable& PublishedProps() const override { return PropTable(); }

    /// Enabling a non-retriggerable timer whose wait is still running leaves the wait alone;
    /// anything else restarts it (false stops it).
    void SetEnabled(bool Value) override;
    bool Retriggerable() const { return FRetriggerable; }
    void SetRetriggerable(bool Value) { FRetriggerable = Value; }

protected:
    int32_t AddEntry(TTimerPool& Pool) override;

private:
    bool FRetriggerable = true;
};

} // namespace kolva
