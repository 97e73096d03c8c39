#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

class CommandRunner;

// The service manager the program runs under as a service: here systemd's user instance,
// reached through systemctl (through the runner, so tests see every call), the notification
// socket and the system log.
namespace ServiceManager {

struct Unit
{
    QString name; // the service's name; the unit is "<name in lower case>.service"
    QString description;
    QString executable;
    bool notify = true;       // the service reports READY=1 and its status
    bool interactive = false; // it has a desktop to show its window on
    // An exit status after which the service is not restarted: it ended on purpose.
    int keepStoppedStatus = 0;
    // The folders a service without a window may write to, besides its runtime directory; the
    // rest of the file system it sees read-only.
    QStringList writable;
};

// $XDG_CONFIG_HOME/systemd/user/<name>.service; empty without a configuration home.
QString UnitFilePath(const QString& serviceName);
bool HasUnit(const QString& serviceName);
// The unit's Description, nothing when there is no unit or it has none.
std::optional<QString> UnitDescription(const QString& serviceName);
// The unit's text. It passes on the user's XDG configuration and data directories where they
// are not the defaults, so the service reads the same settings as the desktop copy. A service
// without a window runs sandboxed (see kSandbox).
QString UnitFileText(const Unit& unit);

// Writes the unit and reloads the manager; `enable` also enables it (it is not started). Empty
// when every step succeeded, else what failed; nothing is left behind when one failed.
QString Install(CommandRunner& runner, const Unit& unit, bool enable);
// Disables the unit, removes it and reloads the manager. True when the unit is gone.
bool Uninstall(CommandRunner& runner, const QString& serviceName);

// One line of the notification protocol (READY=1, STATUS=...); nothing without a manager
// listening.
void Notify(const QByteArray& state);

// System log entries, under `ident`, facility daemon.
int SystemLogPriority(bool warning);
void WriteSystemLog(const QString& ident, bool warning, const QString& text);

} // namespace ServiceManager
