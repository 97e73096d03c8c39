#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

class AddressWatcher;
class Clock;
class Scheduler;

// Brings the next automatic check forward when `watcher` tells of an address change, as the
// scheduler decides, and starts it through `checkNow` when it is due at once. When the watcher
// cannot listen (no netlink here) it says so once on standard error, and the interval alone
// schedules the checks.
class AddressEvents : public QObject
{
    Q_OBJECT
public:
    AddressEvents(AddressWatcher& watcher, const Clock& clock, Scheduler& scheduler,
                  std::function<bool()> processingEnabled, std::function<bool()> checking,
                  std::function<void()> checkNow);

private:
    void changed();
    void settled();

    const Clock& m_clock;
    Scheduler& m_scheduler;
    std::function<bool()> m_processingEnabled;
    std::function<bool()> m_checking;
    std::function<void()> m_checkNow;
    QTimer m_quiet;
};
