// The program's answers to the service component: the requests systemd makes of the
// service, and what the service tells systemd after each check.
#include "control/ProgramParts.h"

#include "system/AppIdentity.h"

namespace {
constexpr qint32 kServiceEventId = 110;
}

void ProgramController::NTService1_Start(bool& Success)
{
    Success = true;
    m_parts->NTService1.LogEvent(ServiceEventLog::Success, kServiceEventId,
                                 QStringLiteral("Hostvane Started.  Version: ") +
                                     AppIdentity::VersionText());
    m_parts->bServiceMode = true;
    m_parts->bServiceRunning = true;
    m_parts->engine.errors.setServiceMode(true);
}

void ProgramController::NTService1_Stop()
{
    m_parts->NTService1.LogEvent(ServiceEventLog::Success, kServiceEventId,
                                 QStringLiteral("Hostvane Stopped.  Version: ") +
                                     AppIdentity::VersionText());
    m_parts->bServiceRunning = false;
}

// systemd cannot pause a service; the requests are refused and the service runs on.
void ProgramController::NTService1_Pause(bool& Success)
{
    Success = false;
}

void ProgramController::NTService1_Continue(bool& Success)
{
    Success = false;
}

void ProgramController::reportCheckToService()
{
    m_parts->NTService1.ReportStatus(m_parts->lastOutcome.Summary());
}

bool ProgramController::ServiceMode() const
{
    return m_parts->bServiceMode;
}

bool ProgramController::ServiceRunning() const
{
    return m_parts->bServiceRunning;
}
