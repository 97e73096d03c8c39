#include "control/Scheduler.h"

#include "system/RuntimeFormat.h"

#include <algorithm>

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
    dNextUpdate = m_checkAfterRunning ? now : now.addSecs(qint64(minutes) * 60);
    m_checkAfterRunning = false;
}

QDateTime Scheduler::AddressChanged(const QDateTime& now, bool ProcessingEnabled)
{
    if (!ProcessingEnabled)
        return {};
    if (!m_burstStart.isValid())
        m_burstStart = now;
    return std::min(now.addMSecs(kQuietMs), m_burstStart.addMSecs(kLongestWaitMs));
}

bool Scheduler::AddressesSettled(const QDateTime& now, bool ProcessingEnabled, bool checking)
{
    m_burstStart = QDateTime();
    if (!ProcessingEnabled)
        return false;
    if (checking) {
        m_checkAfterRunning = true;
        return false;
    }
    dNextUpdate = now;
    return true;
}

QString Scheduler::WaitText(bool ProcessingEnabled) const
{
    return ProcessingEnabled
               ? QStringLiteral("Next check: ") + FormatDate(dNextUpdate, kPanelTimePattern)
               : QStringLiteral("Auto update is disabled");
}
