// The operating system's clock and message-loop timer, as the timer pool needs them: a
// millisecond tick counter that wraps at 2^32 and periodic timers whose ticks arrive on the
// main thread between other events. The window library installs a service over its event
// loop; until then a built-in one counts real milliseconds and never ticks, since the core
// has no message loop. Tests install a clock they advance by hand.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace kolva {

/// A running periodic timer; freeing it stops it. No tick arrives after it is freed.
class IPlatformTimer {
public:
    virtual ~IPlatformTimer() = default;
};

class ITimerService {
public:
    virtual ~ITimerService() = default;
    /// Milliseconds from an arbitrary start, modulo 2^32 (it wraps about every 49.7 days).
    virtual uint32_t GetTickCount() = 0;
    /// Calls OnTick every Interval milliseconds on the main thread until the timer is freed.
    /// EXPECTS: the service outlives the timer.
    virtual std::unique_ptr<IPlatformTimer> StartTimer(uint32_t Interval,
                                                       std::function<void()> OnTick) = 0;
};

/// The service in use.
ITimerService& TimerService();

/// Installs Service (not owned; it must outlive the timers started from it) and returns the
/// one it replaces; nullptr goes back to the built-in service.
ITimerService* SetTimerService(ITimerService* Service);

} // namespace kolva
