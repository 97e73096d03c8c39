// The service manager is systemd's user instance.
#include "platform/ServiceManager.h"

#include "platform/CommandRunner.h"
#include "platform/XdgPaths.h"
#include "platform/linux/KeyFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
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

bool systemctl(CommandRunner& runner, const QStringList& arguments)
{
    return runner.Run(QStringLiteral("systemctl"),
                      QStringList{QStringLiteral("--user")} + arguments) == 0;
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
                          "Restart=on-failure\n"
                          "RestartSec=30\n"
                          "\n"
                          "[Install]\n"
                          "WantedBy=default.target\n")
        .arg(unitValue(unit.description),
             unit.notify ? QStringLiteral("notify") : QStringLiteral("simple"),
             unitWord(unit.executable),
             unit.interactive ? QString()
                              : QStringLiteral("Environment=QT_QPA_PLATFORM=offscreen\n"));
}

bool ServiceManager::Install(CommandRunner& runner, const Unit& unit, bool enable)
{
    const QString path = UnitFilePath(unit.name);
    if (path.isEmpty() || !QDir().mkpath(QFileInfo(path).path()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(UnitFileText(unit).toUtf8()) < 0 ||
        !file.commit())
        return false;
    const QString unitName = QFileInfo(path).fileName();
    if (systemctl(runner, {QStringLiteral("daemon-reload")}) &&
        (!enable || systemctl(runner, {QStringLiteral("enable"), unitName})))
        return true;
    QFile::remove(path);
    systemctl(runner, {QStringLiteral("daemon-reload")});
    return false;
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
