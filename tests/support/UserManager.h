#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// A systemd user manager of the test's own (run as root), for units the test installs in its
// world. systemd runs as a user manager only where the system was booted with it, which it reads
// from /run/systemd/system: the manager runs in a mount namespace whose /run is its own. Ended
// with the object, and with the test process.
class UserManager
{
public:
    // With `runtimeDir` as its XDG_RUNTIME_DIR.
    explicit UserManager(const QString& runtimeDir);
    ~UserManager();
    UserManager(const UserManager&) = delete;
    UserManager& operator=(const UserManager&) = delete;

    // True once the manager has started up.
    bool running() const { return m_running; }
    // systemctl --user with `arguments`: its exit status, with what it printed in `output`.
    int systemctl(const QStringList& arguments, QString* output = nullptr) const;

private:
    QString m_runtimeDir;
    QProcess m_manager;
    bool m_running = false;
};
