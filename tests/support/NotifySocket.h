#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

// A stand-in for systemd's notification socket, and the environment of a service told to use it.
class NotifySocket
{
public:
    explicit NotifySocket(const QString& path) : m_path(path)
    {
        const QByteArray name = QFile::encodeName(path);
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        if (static_cast<size_t>(name.size()) >= sizeof(address.sun_path))
            throw std::runtime_error("socket path too long");
        std::copy(name.begin(), name.end(), address.sun_path);
        if (::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0)
            throw std::runtime_error("cannot bind the notification socket");
    }
    ~NotifySocket() { ::close(m_fd); }
    NotifySocket(const NotifySocket&) = delete;
    NotifySocket& operator=(const NotifySocket&) = delete;

    QStringList serviceEnvironment() const
    {
        return {QStringLiteral("HOSTVANE_SERVICE=1"), QStringLiteral("NOTIFY_SOCKET=") + m_path};
    }
    // Reads messages until one starts with `prefix`; false when none came within 20 s.
    bool receiveUntil(const QByteArray& prefix) const
    {
        pollfd ready = {m_fd, POLLIN, 0};
        while (::poll(&ready, 1, 20000) == 1) {
            char buffer[4096];
            const ssize_t size = ::recv(m_fd, buffer, sizeof(buffer), 0);
            if (size <= 0)
                return false;
            messages.append(QByteArray(buffer, static_cast<qsizetype>(size)));
            if (messages.last().startsWith(prefix))
                return true;
        }
        return false;
    }

    mutable QList<QByteArray> messages;

private:
    QString m_path;
    int m_fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
};
