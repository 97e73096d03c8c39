#include "control/AddressEvents.h"

#include "control/Scheduler.h"
#include "platform/AddressWatcher.h"
#include "system/Clock.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <utility>

AddressEvents::AddressEvents(AddressWatcher& watcher, const Clock& clock, Scheduler& scheduler,
                             std::function<bool()> processingEnabled,
                             std::function<bool()> checking, std::function<void()> checkNow)
    : m_clock(clock), m_scheduler(scheduler), m_processingEnabled(std::move(processingEnabled)),
      m_checking(std::move(checking)), m_checkNow(std::move(checkNow))
{
    if (!watcher.Failure().isEmpty()) {
        std::fprintf(stderr,
                     "HostVane: no address events from the kernel (%s); checking on the "
                     "interval only\n",
                     watcher.Failure().toLocal8Bit().constData());
        std::fflush(stderr);
        return;
    }
    m_quiet.setSingleShot(true);
    connect(&watcher, &AddressWatcher::Changed, this, &AddressEvents::changed);
    connect(&m_quiet, &QTimer::timeout, this, &AddressEvents::settled);
}

void AddressEvents::changed()
{
    const QDateTime now = m_clock.now();
    const QDateTime end = m_scheduler.AddressChanged(now, m_processingEnabled());
    if (end.isValid())
        m_quiet.start(std::chrono::milliseconds(
            std::clamp(now.msecsTo(end), qint64(0), Scheduler::kLongestWaitMs)));
}

void AddressEvents::settled()
{
    if (m_scheduler.AddressesSettled(m_clock.now(), m_processingEnabled(), m_checking()))
        m_checkNow();
}
