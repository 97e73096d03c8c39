#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// A private network namespace for the calling thread and every process it starts while the
// object lives: loopback, brought up, and whatever interfaces the test makes, so address
// changes and traffic never leave it. The thread returns to its own namespace afterwards.
// Needs root (CAP_SYS_ADMIN); failure() then tells why it could not be made.
class PrivateNetwork
{
public:
    PrivateNetwork();
    ~PrivateNetwork();
    PrivateNetwork(const PrivateNetwork&) = delete;
    PrivateNetwork& operator=(const PrivateNetwork&) = delete;

    // Empty when the namespace is in place; otherwise why it is not.
    QString failure() const { return m_failure; }

    // Runs `ip` with `arguments` inside the namespace; true when it succeeded.
    bool ip(const QStringList& arguments);
    // Runs the `ip` commands in `commands`, one a line, in one `ip -o -batch` inside the
    // namespace; what they printed, or nothing when one failed.
    std::optional<QByteArray> ipBatch(const QByteArray& commands);
    // A point-to-point tun interface `name` holding `local`, with `peer` at the other end, up.
    bool addPointToPoint(const QString& name, const QString& local, const QString& peer);

private:
    int m_home = -1;
    QString m_failure;
};
