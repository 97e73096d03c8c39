#pragma once

#include <QProcess>

// A D-Bus session bus of the test's own (dbus-daemon), made the process's session bus, ended
// with the object; services registered on it reach nobody else.
class PrivateSessionBus
{
public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    bool running() const { return !m_address.isEmpty(); }

private:
    QProcess m_daemon;
    QByteArray m_address;
};
