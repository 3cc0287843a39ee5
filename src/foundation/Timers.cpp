#include "foundation/Timers.h"

#include "platform/SysUtils.h"

#include <algorithm>
#include <utility>

namespace kolva {

namespace {

TTimerPool* GPool = nullptr;
bool GShutdown = false;

// Frees the process's pool when the program ends, setting the shutdown flag first.
struct TPoolRelease {
    ~TPoolRelease() { FreeTimerPool(); }
};

constexpr int32_t FirstHandle = 9999;
constexpr int32_t HandleCeiling = 32000;

} // namespace

uint32_t ElapsedTicks(uint32_t Start, uint32_t Now) {
    // Below the start the counter has wrapped: 2^32 is added to Now before subtracting.
    const uint64_t now = Now < Start ? uint64_t(Now) + 0x100000000ULL : uint64_t(Now);
    return static_cast<uint32_t>(now - Start);
}

// ---------------------------------------------------------------------------------------
// TPoolTimer

TPoolTimer::TPoolTimer(int32_t Handle, int32_t Interval, TPoolTimerEvent Callback)
    : FHandle(Handle), FInterval(Interval), FCallback(std::move(Callback)) {}

void TPoolTimer::Check(uint32_t) {}

void TPoolTimer::Start(uint32_t Now) {
    if (FDone) return;
    FStartTick = Now;
    FRunning = true;
}

void TPoolTimer::MarkDone() {
    FRunning = false;
    FDone = true;
}

bool TPoolTimer::Expired(uint32_t Now) const {
    return FRunning && int64_t(ElapsedTicks(FStartTick, Now)) > int64_t(FInterval);
}

void TPoolTimer::Fire() {
    if (FCallback && !GShutdown) FCallback.Code(*this, FHandle);
}

void TIntervalPoolTimer::Check(uint32_t Now) {
    if (!Expired(Now)) return;
    Start(Now);
    Fire();
}

void TOneShotPoolTimer::Check(uint32_t Now) {
    if (!Expired(Now)) return;
    Stop();
    // Done also when the callback raises: a one-shot that has fired never waits again.
    struct TDoneAfter {
        TPoolTimer& Timer;
        ~TDoneAfter() { Timer.MarkDone(); }
    } doneAfter{*this};
    Fire();
}

// ---------------------------------------------------------------------------------------
// TPoolTimerCollection

TPoolTimerCollection::TPoolTimerCollection() {
    SetSortable(true);
    SetSorted(true);
    SetOwnsItems(true);
}

int TPoolTimerCollection::Compare(const void* Key1, const void* Key2) const {
    const int32_t h1 = static_cast<const TPoolTimer*>(static_cast<const TObject*>(Key1))->Handle();
    const int32_t h2 = static_cast<const TPoolTimer*>(static_cast<const TObject*>(Key2))->Handle();
    return h1 < h2 ? -1 : h1 > h2 ? 1 : 0;
}

void TPoolTimerCollection::GetItemText(int, std::string& Text) const {
    Text.clear();
}

// ---------------------------------------------------------------------------------------
// TTimerPool

TTimerPool::TTimerPool(ITimerService& Service) : FService(Service) {
    FTimer = FService.StartTimer(TickInterval, [this] { Tick(); });
}

TTimerPool::~TTimerPool() {
    FTimer.reset();
}

int32_t TTimerPool::NewHandle() const {
    if (FTimers.Count() == 0) return FirstHandle;
    const int32_t min = std::min(FTimers.Timer(0).Handle(), HandleCeiling);
    const int32_t max = std::max(FTimers.Timer(FTimers.Count() - 1).Handle(), 0);
    return min >= 1 ? min - 1 : max + 1;
}

int32_t TTimerPool::Add(std::unique_ptr<TPoolTimer> Timer) {
    Timer->FHandle = NewHandle();
    FLastHandle = Timer->FHandle;
    if (!Timer->Running()) Timer->Start(FService.GetTickCount());
    FTimers.Add(Timer.release());
    return FLastHandle;
}

int32_t TTimerPool::AddInterval(int32_t Interval, TPoolTimerEvent Callback) {
    return Add(std::make_unique<TIntervalPoolTimer>(0, Interval, std::move(Callback)));
}

int32_t TTimerPool::AddOneShot(int32_t Interval, TPoolTimerEvent Callback) {
    return Add(std::make_unique<TOneShotPoolTimer>(0, Interval, std::move(Callback)));
}

TPoolTimer* TTimerPool::FindTimer(int32_t Handle) const {
    FKey.FHandle = Handle;
    int index;
    return FTimers.Search(&FKey, index) ? &FTimers.Timer(index) : nullptr;
}

void TTimerPool::Remove(const void* Owner, int32_t Handle) {
    TPoolTimer* timer = FindTimer(Handle);
    if (timer && timer->Callback().Owner == Owner) timer->MarkDone();
}

void TTimerPool::StopAll() {
    for (int i = 0; i < FTimers.Count(); ++i)
        FTimers.Timer(i).MarkDone();
}

void TTimerPool::Tick() {
    const bool outermost = FWalkDepth == 0;
    struct TWalk {
        int& Depth;
        explicit TWalk(int& D) : Depth(D) { ++Depth; }
        ~TWalk() { --Depth; }
    } walk(FWalkDepth);
    for (int i = FTimers.Count() - 1; i >= 0;) {
        TPoolTimer& timer = FTimers.Timer(i);
        const int32_t handle = timer.Handle();
        // The time is read for each timer: a tick run from inside a callback may have
        // restarted the timers below after this walk began, and a time read before that
        // restart would look like a wrap of the counter and fire them at once.
        if (!timer.Done())
            timer.Check(FService.GetTickCount());
        else if (outermost)
            FTimers.FreeAt(i);
        // A callback may have inserted timers anywhere (new handles count down, so usually
        // in front of this one): the walk goes on below this handle wherever it stands now,
        // rather than at an index that may have shifted.
        FKey.FHandle = handle;
        FTimers.Search(&FKey, i);
        --i;
    }
}

// ---------------------------------------------------------------------------------------
// The process's pool

TTimerPool& TimerPool() {
    // The service first, so that it is still there when the pool is freed at the end.
    ITimerService& service = TimerService();
    static TPoolRelease release;
    if (!GPool) {
        GShutdown = false;
        GPool = new TTimerPool(service);
    }
    return *GPool;
}

TTimerPool* ExistingTimerPool() {
    return GPool;
}

void FreeTimerPool() {
    GShutdown = true;
    // Gone from view before it goes: components freed meanwhile no longer reach it.
    delete std::exchange(GPool, nullptr);
}

bool TimerPoolShutdown() {
    return GShutdown;
}

// ---------------------------------------------------------------------------------------
// Components

const TPropTable& TTimerPoolComponent::PropTable() {
    using T = TTimerPoolComponent;
    static const TPropTable table(
        "TTimerPoolComponent", "Timers", nullptr,
        {
            Prop<&T::Enabled, &T::SetEnabled>("Enabled").SetDefault(false),
            Prop<&T::Interval, &T::SetInterval>("Interval").SetDefault(1000),
            Prop<&T::OnTimer, &T::SetOnTimer>("OnTimer"),
        });
    return table;
}

TTimerPoolComponent::~TTimerPoolComponent() {
    if (TTimerPool* pool = ExistingTimerPool(); pool && FHandle != -1) pool->Remove(this, FHandle);
}

void TTimerPoolComponent::SetEnabled(bool Value) {
    FEnabled = Value;
    UpdateTimer();
}

void TTimerPoolComponent::SetInterval(int32_t Value) {
    FInterval = Value;
    UpdateTimer();
}

void TTimerPoolComponent::UpdateTimer() {
    if (FHandle != -1)
        if (TTimerPool* pool = ExistingTimerPool()) pool->Remove(this, FHandle);
    FHandle = -1;
    if (FEnabled) FHandle = AddEntry(TimerPool());
}

TPoolTimerEvent TTimerPoolComponent::Callback() {
    return {this, [this](TPoolTimer& Timer, int32_t Handle) { PoolTimerFired(Timer, Handle); }};
}

const TPoolTimer* TTimerPoolComponent::RunningEntry() const {
    const TTimerPool* pool = ExistingTimerPool();
    const TPoolTimer* entry = pool && FHandle != -1 ? pool->FindTimer(FHandle) : nullptr;
    return entry && entry->Callback().Owner == this && entry->Running() ? entry : nullptr;
}

void TTimerPoolComponent::PoolTimerFired(TPoolTimer&, int32_t Handle) {
    if (Handle != FHandle) throw Exception("Timer pool handles do not match");
    if (!GShutdown && FOnTimer) FOnTimer(this);
}

const TPropTable& TIntervalTimer::PropTable() {
    static const TPropTable table("TIntervalTimer", "Timers", &TTimerPoolComponent::PropTable(),
                                  {});
    return table;
}

int32_t TIntervalTimer::AddEntry(TTimerPool& Pool) {
    return Pool.AddInterval(Interval(), Callback());
}

const TPropTable& TOneShotTimer::PropTable() {
    using T = TOneShotTimer;
    static const TPropTable table("TOneShotTimer", "Timers", &TTimerPoolComponent::PropTable(),
                                  {Prop<&T::Retriggerable, &T::SetRetriggerable>("Retriggerable")});
    return table;
}

// Asking for the running wait rather than for Enabled alone: a one-shot that has fired
// stays enabled, and would otherwise never start again unless it is retriggerable.
void TOneShotTimer::SetEnabled(bool Value) {
    if (Value && Enabled() && !Retriggerable() && RunningEntry()) return;
    TTimerPoolComponent::SetEnabled(Value);
}

int32_t TOneShotTimer::AddEntry(TTimerPool& Pool) {
    return Pool.AddOneShot(Interval(), Callback());
}

} // namespace kolva
