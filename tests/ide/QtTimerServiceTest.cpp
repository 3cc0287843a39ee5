// The pool's timers driven by the window library's event loop.
#include "ide/QtTimerService.h"

#include "foundation/Timers.h"

#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

namespace kolva::test {
namespace {

TEST(QtTimerServiceTest, OneShotFiresFromTheEventLoop) {
    TQtTimerService service;
    FreeTimerPool(); // a pool left over a previous service would never tick
    ITimerService* previous = SetTimerService(&service);
    {
        QEventLoop loop;
        TOneShotTimer timer;
        timer.SetInterval(150);
        timer.SetOnTimer([&](TObject*) { loop.quit(); });
        const uint32_t start = service.GetTickCount();
        timer.SetEnabled(true);
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        loop.exec();
        EXPECT_GT(service.GetTickCount() - start, 150u);
        EXPECT_LT(service.GetTickCount() - start, 5000u) << "fired before the guard";
    }
    FreeTimerPool();
    SetTimerService(previous);
}

} // namespace
} // namespace kolva::test
