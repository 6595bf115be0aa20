#include "window/EventYield.h"

#include "window/TickClock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <thread>
#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif

QtEventYield::QtEventYield(SteadyTickClock &clock) : clock_(clock)
{
#ifdef Q_OS_LINUX
    // The kernel may add 50 microseconds to every sleep; effects step every millisecond.
    prctl(PR_SET_TIMERSLACK, 1UL);
#endif
}

void QtEventYield::DoEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtEventYield::DoEventsUntil(std::int64_t dueTick)
{
    const std::int64_t wait = dueTick - clock_.GetTickCount();
    if (wait <= 0) {
        DoEvents();
        return;
    }
    if (wait <= 2) {
        // Timers wake to the millisecond and late; a short wait sleeps to the exact moment
        // the tick counter reaches the due value, then handles what arrived meanwhile.
        std::this_thread::sleep_until(std::chrono::steady_clock::time_point(std::chrono::milliseconds(dueTick)));
        DoEvents();
        return;
    }
    // The timer's event wakes the wait when no window event comes first. Timers fire up to
    // a millisecond or two late, so it wakes two milliseconds early and the caller's next
    // wait sleeps the rest to the exact moment.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(int(qMin<std::int64_t>(wait - 2, 1000)));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}
