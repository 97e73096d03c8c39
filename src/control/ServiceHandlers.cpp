// The program's answers to the service component: the requests systemd makes of the
// service, and what the service tells systemd after each check.
#include "control/ProgramController.h"

#include "system/AppIdentity.h"

namespace {
constexpr qint32 kServiceEventId = 110;
}

void ProgramController::NTService1_Start(bool& Success)
{
    Success = true;
    NTService1.LogEvent(ServiceEventLog::Success, kServiceEventId,
                        QStringLiteral("Hostvane Started.  Version: ") +
                            AppIdentity::VersionText());
    bServiceMode = true;
    bServiceRunning = true;
    m_engine.errors.setServiceMode(true);
}

void ProgramController::NTService1_Stop()
{
    NTService1.LogEvent(ServiceEventLog::Success, kServiceEventId,
                        QStringLiteral("Hostvane Stopped.  Version: ") +
                            AppIdentity::VersionText());
    bServiceRunning = false;
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
    NTService1.ReportStatus(m_lastOutcome.Summary());
}
