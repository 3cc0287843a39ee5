#include "ide/QtTimerService.h"

#include <chrono>
#include <QTimer>

namespace kolva {

namespace {

class TQtPlatformTimer final : public IPlatformTimer {
public:
    TQtPlatformTimer(uint32_t Interval, std::function<void()> OnTick) {
        FTimer.setInterval(static_cast<int>(Interval));
        QObject::connect(&FTimer, &QTimer::timeout, [OnTick = std::move(OnTick)] { OnTick(); });
        FTimer.start();
    }

private:
    QTimer FTimer;
};

} // namespace

uint32_t TQtTimerService::GetTickCount() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

std::unique_ptr<IPlatformTimer> TQtTimerService::StartTimer(uint32_t Interval,
                                                            std::function<void()> OnTick) {
    return std::make_unique<TQtPlatformTimer>(Interval, std::move(OnTick));
}

} // namespace kolva
