#include "components/NTService.h"

#include "platform/ServiceManager.h"
#include "system/ProgramDirectory.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

// The unit starts the service program installed beside this one; a build without it (a test
// program) runs itself.
QString serviceExecutable()
{
    const QString beside =
        QCoreApplication::applicationDirPath() + QStringLiteral("/hostvane-service");
    return QFileInfo(beside).isExecutable() ? beside : QCoreApplication::applicationFilePath();
}

} // namespace

QString NTService::UnitFilePath() const
{
    return ServiceManager::UnitFilePath(ServiceName);
}

ServiceManager::Unit NTService::unit(const QString& executable) const
{
    // The service writes its working files and, on a host key trusted, known_hosts in the
    // program directory; the settings folder is its own.
    return {ServiceName,
            DisplayName,
            executable,
            NotifyManager,
            Interactive,
            kExitAnotherCopyRuns,
            {ProgramDirectory::Path(), ProgramDirectory::SettingsFolder()}};
}

QString NTService::UnitFileText(const QString& executable) const
{
    return ServiceManager::UnitFileText(unit(executable));
}

bool NTService::Install()
{
    m_installFailure =
        ServiceManager::Install(m_runner, unit(serviceExecutable()), StartMode == Automatic);
    return m_installFailure.isEmpty();
}

bool NTService::Uninstall()
{
    return ServiceManager::Uninstall(m_runner, ServiceName);
}

QString NTService::SystemLogText(qint32 eventId, const QString& text)
{
    return QStringLiteral("[%1] %2").arg(eventId).arg(text);
}

int NTService::SystemLogPriority(qint16 eventType)
{
    return ServiceManager::SystemLogPriority(eventType == Warning);
}
bool NTService::StartedAsService()
{
    return qgetenv("HOSTVANE_SERVICE") == "1";
}

void NTService::Connect()
{
    if (!StartedAsService())
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
    if (!m_connected || text == m_status)
        return;
    m_status = text;
    notify("STATUS=" + text.toUtf8());
}

void NTService::ReportRefusal(const QString& text)
{
    if (StartedAsService() && NotifyManager)
        ServiceManager::Notify("STATUS=" + text.toUtf8());
}

void NTService::notify(const QByteArray& state)
{
    if (m_connected && NotifyManager)
        ServiceManager::Notify(state);
}

void NTService::LogEvent(qint16 eventType, qint32 eventId, const QString& text)
{
    if (m_eventLog) {
        m_eventLog->LogEvent(eventType, eventId, text);
        return;
    }
    ServiceManager::WriteSystemLog(ServiceName, eventType == Warning, SystemLogText(eventId, text));
}
