#include "ui/Scheduler.h"

#include "system/RuntimeFormat.h"

namespace {

// True once every `period` ticks, the first time on the first tick.
bool countDown(qint16& countdown, qint16 period)
{
    if (countdown > 0) {
        --countdown;
        return false;
    }
    countdown = static_cast<qint16>(period - 1);
    return true;
}

} // namespace

Scheduler::Tick Scheduler::NextTick(const QDateTime& now)
{
    Tick tick;
    tick.showTime = countDown(iClockCountdown, 3);
    tick.assertTray = countDown(iTrayCountdown, 6);
    tick.checkDue = dNextUpdate <= now;
    return tick;
}

void Scheduler::LoadTimer(const QDateTime& now, qint32 minutes)
{
    dNextUpdate = now.addSecs(qint64(minutes) * 60);
}

QString Scheduler::WaitText(bool ProcessingEnabled) const
{
    return ProcessingEnabled
               ? QStringLiteral("Next check: ") + FormatDate(dNextUpdate, kPanelTimePattern)
               : QStringLiteral("Auto update is disabled");
}
