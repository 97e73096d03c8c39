// The main window's answers to the service component: the requests systemd makes of the
// service, and what the service tells systemd after each check.
#include "ui/frmHostVane.h"

#include "system/AppIdentity.h"

namespace {
constexpr qint32 kServiceEventId = 110;
}

void frmHostVane::NTService1_Start(bool& Success)
{
    Success = true;
    NTService1.LogEvent(ServiceEventLog::Success, kServiceEventId,
                        QStringLiteral("Hostvane Started.  Version: ") +
                            AppIdentity::VersionText());
    bServiceMode = true;
    bServiceRunning = true;
    m_engine.errors.setServiceMode(true);
}

void frmHostVane::NTService1_Stop()
{
    NTService1.LogEvent(ServiceEventLog::Success, kServiceEventId,
                        QStringLiteral("Hostvane Stopped.  Version: ") +
                            AppIdentity::VersionText());
    bServiceRunning = false;
}

// systemd cannot pause a service; the requests are refused and the service runs on.
void frmHostVane::NTService1_Pause(bool& Success)
{
    Success = false;
}

void frmHostVane::NTService1_Continue(bool& Success)
{
    Success = false;
}

void frmHostVane::reportCheckToService()
{
    NTService1.ReportStatus(m_engine.check.LastOutcome().Summary());
}
