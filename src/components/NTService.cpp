#include "components/NTService.h"

#include "system/CommandRunner.h"
#include "system/XdgPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

} // namespace

QString NTService::UnitFilePath() const
{
    return XdgPaths::ConfigHome() + QStringLiteral("/systemd/user/") + ServiceName.toLower() +
           QStringLiteral(".service");
}

QString NTService::UnitFileText(const QString& executable) const
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
        .arg(unitValue(DisplayName),
             NotifyManager ? QStringLiteral("notify") : QStringLiteral("simple"),
             unitWord(executable),
             Interactive ? QString() : QStringLiteral("Environment=QT_QPA_PLATFORM=offscreen\n"));
}

bool NTService::systemctl(const QStringList& arguments)
{
    return m_runner.Run(QStringLiteral("systemctl"),
                        QStringList{QStringLiteral("--user")} + arguments) == 0;
}

bool NTService::Install()
{
    const QString path = UnitFilePath();
    if (XdgPaths::ConfigHome().isEmpty() || !QDir().mkpath(QFileInfo(path).path()))
        return false;
    QSaveFile unit(path);
    if (!unit.open(QIODevice::WriteOnly) ||
        unit.write(UnitFileText(QCoreApplication::applicationFilePath()).toUtf8()) < 0 ||
        !unit.commit())
        return false;
    const QString unitName = QFileInfo(path).fileName();
    if (systemctl({QStringLiteral("daemon-reload")}) &&
        (StartMode != Automatic || systemctl({QStringLiteral("enable"), unitName})))
        return true;
    QFile::remove(path);
    systemctl({QStringLiteral("daemon-reload")});
    return false;
}

bool NTService::Uninstall()
{
    const QString path = UnitFilePath();
    const QString unitName = QFileInfo(path).fileName();
    systemctl({QStringLiteral("disable"), unitName});
    // Without a user manager the enable link stays behind; it would dangle once the unit is gone.
    QFile::remove(QFileInfo(path).path() + QStringLiteral("/default.target.wants/") + unitName);
    QFile::remove(path);
    systemctl({QStringLiteral("daemon-reload")});
    return !QFileInfo::exists(path);
}

QString NTService::SystemLogText(qint32 eventId, const QString& text)
{
    return QStringLiteral("[%1] %2").arg(eventId).arg(text);
}

int NTService::SystemLogPriority(qint16 eventType)
{
    return eventType == Warning ? LOG_WARNING : LOG_INFO;
}

void NTService::Connect()
{
    if (qgetenv("HOSTVANE_SERVICE") != "1")
        return;
    m_connected = true;
    bool success = false;
    emit Start(success);
}

void NTService::Disconnect()
{
    notify("STOPPING=1");
    m_connected = false;
}

void NTService::RaiseStop()
{
    if (m_connected)
        emit Stop();
}

void NTService::ReportReady()
{
    notify("READY=1");
}

void NTService::ReportStatus(const QString& text)
{
    notify("STATUS=" + text.toUtf8());
}

void NTService::notify(const QByteArray& state)
{
    // sd_notify does nothing when systemd gave no NOTIFY_SOCKET.
    if (m_connected && NotifyManager)
        ::sd_notify(0, state.constData());
}

void NTService::LogEvent(qint16 eventType, qint32 eventId, const QString& text)
{
    if (m_eventLog) {
        m_eventLog->LogEvent(eventType, eventId, text);
        return;
    }
    ::openlog("Hostvane", LOG_PID, LOG_DAEMON);
    ::syslog(SystemLogPriority(eventType), "%s",
             SystemLogText(eventId, text).toLocal8Bit().constData());
    ::closelog();
}
