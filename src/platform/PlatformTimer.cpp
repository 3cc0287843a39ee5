#include "platform/PlatformTimer.h"

#include <chrono>

namespace kolva {

namespace {

class TIdleTimer : public IPlatformTimer {};

// Without an event loop there is nobody to deliver ticks, so its timers stay silent; the
// counter still moves, so elapsed times measured by the core are real.
class TSteadyTimerService : public ITimerService {
public:
    uint32_t GetTickCount() override {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<uint32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
    }
    std::unique_ptr<IPlatformTimer> StartTimer(uint32_t, std::function<void()>) override {
        return std::make_unique<TIdleTimer>();
    }
};

TSteadyTimerService& BuiltInService() {
    static TSteadyTimerService service;
    return service;
}

ITimerService*& Installed() {
    static ITimerService* service = nullptr;
    return service;
}

} // namespace

ITimerService& TimerService() {
    ITimerService* service = Installed();
    return service ? *service : BuiltInService();
}

ITimerService* SetTimerService(ITimerService* Service) {
    ITimerService* previous = &TimerService();
    Installed() = Service;
    return previous;
}

} // namespace kolva
