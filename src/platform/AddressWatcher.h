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
    explicit AddressWatcher(QObject* parent = nullptr);
    ~AddressWatcher() override;

    // Empty while the watcher listens; otherwise why it cannot.
    QString Failure() const;

signals:
    void Changed();

private:
    class Listener;
    std::unique_ptr<Listener> m_listener;
};
