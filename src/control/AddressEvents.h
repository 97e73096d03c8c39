#pragma once

#include "platform/AddressWatcher.h"

#include <QObject>
#include <QTimer>

#include <functional>

class Clock;
class Scheduler;

// Brings the next automatic check forward when the kernel announces an address change, as the
// scheduler decides, and starts it through `checkNow` when it is due at once. Without address
// events (no netlink here) it says so once on standard error, and the interval alone
// schedules the checks.
class AddressEvents : public QObject
{
    Q_OBJECT
public:
    AddressEvents(const Clock& clock, Scheduler& scheduler, std::function<bool()> processingEnabled,
                  std::function<bool()> checking, std::function<void()> checkNow);

private:
    void changed();
    void settled();

    const Clock& m_clock;
    Scheduler& m_scheduler;
    std::function<bool()> m_processingEnabled;
    std::function<bool()> m_checking;
    std::function<void()> m_checkNow;
    AddressWatcher m_watcher;
    QTimer m_quiet;
};
