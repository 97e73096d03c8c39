#pragma once

#include <QProcess>

// A Secret Service on the process's session bus (a PrivateSessionBus), ended with the object.
class KeyringDaemon
{
public:
    enum Kind
    {
        // gnome-keyring-daemon with its login keyring made and unlocked (under XDG_DATA_HOME).
        Unlocked,
        // Owns the service's name, takes every call and never answers.
        Silent,
    };

    explicit KeyringDaemon(Kind kind);
    ~KeyringDaemon();
    KeyringDaemon(const KeyringDaemon&) = delete;
    KeyringDaemon& operator=(const KeyringDaemon&) = delete;

    // True once the service's name is owned on the bus.
    bool running() const { return m_running; }
    // Locks the login keyring, as a screen lock does: storing then asks for its password, and
    // nobody can be asked.
    bool lock();

private:
    QProcess m_daemon;
    bool m_running = false;
};
