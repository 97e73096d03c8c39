#pragma once

#include <QObject>
#include <QString>

#include <memory>

// Tells when the set of IPv4 addresses, or of usable global IPv6 addresses, held by the machine's
// interfaces has changed, as the kernel announces it. Only a real change of the (interface,
// address) pairs counts: an announcement that repeats an address already held, such as a
// lifetime refresh, does not, and neither does a temporary, deprecated, tentative or link-local
// IPv6 address.
// The announcements are read through the event loop; nothing is polled.
class AddressWatcher : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // The watcher this system has: on Linux, a netlink route socket.
    static std::unique_ptr<AddressWatcher> ForThisSystem();

    // Empty while the watcher listens; otherwise why it cannot.
    virtual QString Failure() const = 0;

signals:
    void Changed();
};
