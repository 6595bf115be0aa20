#include "EventYield.h"

#include "TickClock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

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
    // The timer's event wakes the wait at the due moment when no window event comes first.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(int(qMin<std::int64_t>(wait, 1000)));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}
