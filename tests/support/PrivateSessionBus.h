#pragma once

#include <QProcess>
#include <QTemporaryDir>

// A D-Bus session bus of the test's own (dbus-daemon), made the process's session bus, ended
// with the object and with the test process; services registered on it reach nobody else, and
// it starts none by itself (no activation), so a service is there only when the test starts it.
class PrivateSessionBus
{
public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    bool running() const { return !m_address.isEmpty(); }

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QByteArray m_address;
};
