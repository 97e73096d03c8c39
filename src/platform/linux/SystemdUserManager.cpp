// The service manager is systemd's user instance.
#include "platform/ServiceManager.h"

#include "platform/CommandRunner.h"
#include "platform/RegularFile.h"
#include "platform/XdgPaths.h"
#include "platform/linux/KeyFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <syslog.h>
#include <systemd/sd-daemon.h>

namespace {

// A command-line word as systemd reads it: quoted, with its own escapes, and "%" doubled so
// no specifier is expanded in a path.
QString unitWord(QString word)
{
    word.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    word.replace(QLatin1Char('"'), QStringLiteral("\\\""));
    word.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return QLatin1Char('"') + word + QLatin1Char('"');
}

// A value on a unit line: line breaks would start another setting.
QString unitValue(QString value)
{
    value.replace(QLatin1Char('\n'), QLatin1Char(' '));
    value.replace(QLatin1Char('\r'), QLatin1Char(' '));
    value.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return value;
}

// Empty when systemctl succeeded, else what failed.
QString systemctl(CommandRunner& runner, const QStringList& arguments)
{
    const QStringList words = QStringList{QStringLiteral("--user")} + arguments;
    const qint32 status = runner.Run(QStringLiteral("systemctl"), words);
    if (status == 0)
        return QString();
    const QString said = runner.LastErrorLine();
    return QStringLiteral("systemctl %1 failed (exit status %2)")
               .arg(words.join(QLatin1Char(' ')))
               .arg(status) +
           (said.isEmpty() ? QString() : QStringLiteral(": ") + said);
}

// Environment lines for the directories that differ from where systemd would look by default.
QString xdgEnvironment()
{
    const QString home = qEnvironmentVariable("HOME");
    QString lines;
    const struct
    {
        const char* variable;
        QString value;
        const char* underHome;
    } directories[] = {{"XDG_CONFIG_HOME", XdgPaths::ConfigHome(), "/.config"},
                       {"XDG_DATA_HOME", XdgPaths::DataHome(), "/.local/share"}};
    for (const auto& d : directories) {
        if (!d.value.isEmpty() && d.value != home + QLatin1String(d.underHome))
            lines += QStringLiteral("Environment=%1=%2\n")
                         .arg(QLatin1String(d.variable), unitWord(d.value));
    }
    return lines;
}

// What a user manager (systemd 252) can enforce on its own: PrivateUsers=yes gives the service
// a user namespace, in which the mount and kernel protections apply without privileges. The
// service needs the network (AF_INET, AF_INET6), the kernel's address events (AF_NETLINK), and
// local sockets for the instance socket, the journal and the manager (AF_UNIX).
const char* const kSandbox = "NoNewPrivileges=yes\n"
                             "PrivateUsers=yes\n"
                             "ProtectSystem=strict\n"
                             "ProtectHome=read-only\n"
                             "ProtectKernelModules=yes\n"
                             "ProtectControlGroups=yes\n"
                             "RestrictNamespaces=yes\n"
                             "LockPersonality=yes\n"
                             "RestrictRealtime=yes\n"
                             "RestrictSUIDSGID=yes\n"
                             "MemoryDenyWriteExecute=yes\n"
                             "SystemCallArchitectures=native\n"
                             "RestrictAddressFamilies=AF_UNIX AF_INET AF_INET6 AF_NETLINK\n";

// The sandbox, with write access to the runtime directory and `writable` (each may be missing).
QString sandbox(const QStringList& writable)
{
    QString lines = QLatin1String(kSandbox) + QStringLiteral("ReadWritePaths=%t");
    for (const QString& path : writable)
        lines += QLatin1Char(' ') + unitWord(QLatin1Char('-') + path);
    return lines + QLatin1Char('\n');
}

} // namespace

QString ServiceManager::UnitFilePath(const QString& serviceName)
{
    const QString configHome = XdgPaths::ConfigHome();
    if (configHome.isEmpty())
        return QString();
    return configHome + QStringLiteral("/systemd/user/") + serviceName.toLower() +
           QStringLiteral(".service");
}

bool ServiceManager::HasUnit(const QString& serviceName)
{
    return KeyFile::IsPlainName(serviceName) && !UnitFilePath(serviceName).isEmpty() &&
           QFileInfo::exists(UnitFilePath(serviceName));
}

std::optional<QString> ServiceManager::UnitDescription(const QString& serviceName)
{
    if (!HasUnit(serviceName))
        return std::nullopt;
    const auto description = KeyFile::Value(UnitFilePath(serviceName), QStringLiteral("Unit"),
                                            QStringLiteral("Description"));
    // systemd doubles "%" in a Description so that no specifier is expanded.
    if (description)
        return QString(*description).replace(QStringLiteral("%%"), QStringLiteral("%"));
    return std::nullopt;
}

QString ServiceManager::UnitFileText(const Unit& unit)
{
    // Restarts are spaced so a program that keeps failing never reaches systemd's start limit.
    return QStringLiteral("[Unit]\n"
                          "Description=%1\n"
                          "\n"
                          "[Service]\n"
                          "Type=%2\n"
                          "ExecStart=%3\n"
                          "%4"
                          "Environment=HOSTVANE_SERVICE=1\n"
                          "%5"
                          "Restart=on-failure\n"
                          "RestartSec=30\n"
                          "%6"
                          "%7"
                          "\n"
                          "[Install]\n"
                          "WantedBy=default.target\n")
        .arg(unitValue(unit.description),
             unit.notify ? QStringLiteral("notify") : QStringLiteral("simple"),
             unitWord(unit.executable),
             unit.interactive ? QString()
                              : QStringLiteral("Environment=QT_QPA_PLATFORM=offscreen\n"),
             xdgEnvironment(),
             unit.keepStoppedStatus == 0
                 ? QString()
                 : QStringLiteral("RestartPreventExitStatus=%1\n").arg(unit.keepStoppedStatus),
             unit.interactive ? QString() : sandbox(unit.writable));
}

QString ServiceManager::Install(CommandRunner& runner, const Unit& unit, bool enable)
{
    const QString path = UnitFilePath(unit.name);
    if (path.isEmpty())
        return QStringLiteral("there is no configuration directory (set HOME or XDG_CONFIG_HOME)");
    if (!QDir().mkpath(QFileInfo(path).path()))
        return QStringLiteral("%1 could not be created").arg(QFileInfo(path).path());
    if (const QString failure = ReplaceFile(path, UnitFileText(unit).toUtf8()); !failure.isEmpty())
        return QStringLiteral("%1 could not be written: %2").arg(path, failure);
    const QString unitName = QFileInfo(path).fileName();
    QString failure = systemctl(runner, {QStringLiteral("daemon-reload")});
    if (failure.isEmpty() && enable)
        failure = systemctl(runner, {QStringLiteral("enable"), unitName});
    if (failure.isEmpty())
        return QString();
    QFile::remove(path);
    systemctl(runner, {QStringLiteral("daemon-reload")});
    return failure;
}

bool ServiceManager::Uninstall(CommandRunner& runner, const QString& serviceName)
{
    const QString path = UnitFilePath(serviceName);
    if (path.isEmpty())
        return true;
    const QString unitName = QFileInfo(path).fileName();
    systemctl(runner, {QStringLiteral("disable"), unitName});
    // Without a user manager the enable link stays behind; it would dangle once the unit is gone.
    QFile::remove(QFileInfo(path).path() + QStringLiteral("/default.target.wants/") + unitName);
    QFile::remove(path);
    systemctl(runner, {QStringLiteral("daemon-reload")});
    return !QFileInfo::exists(path);
}

void ServiceManager::Notify(const QByteArray& state)
{
    // sd_notify does nothing when systemd gave no NOTIFY_SOCKET.
    ::sd_notify(0, state.constData());
}

int ServiceManager::SystemLogPriority(bool warning)
{
    return warning ? LOG_WARNING : LOG_INFO;
}

void ServiceManager::WriteSystemLog(const QString& ident, bool warning, const QString& text)
{
    const QByteArray name = ident.toLocal8Bit();
    ::openlog(name.constData(), LOG_PID, LOG_DAEMON);
    ::syslog(SystemLogPriority(warning), "%s", text.toLocal8Bit().constData());
    ::closelog();
}
