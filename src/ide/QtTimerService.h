// The timer service of the add-in's windows: the platform timers of the timer pool become
// Qt timers of the IDE's event loop, so their ticks arrive on the user-interface thread
// between other events, and the tick counter is the steady clock's. The add-in installs it
// while it is loaded (SetTimerService) and takes it out before it unloads.
#pragma once

#include "platform/PlatformTimer.h"

namespace kolva {

class TQtTimerService final : public ITimerService {
public:
    uint32_t GetTickCount() override;
    /// A QTimer of the calling thread's event loop. EXPECTS: a QCoreApplication exists.
    std::unique_ptr<IPlatformTimer> StartTimer(uint32_t Interval,
                                               std::function<void()> OnTick) override;
};

} // namespace kolva
