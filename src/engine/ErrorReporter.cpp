#include "engine/ErrorReporter.h"

#include "engine/CheckHost.h"

#include "system/AppIdentity.h"
#include "system/Prompt.h"
#include "system/cWinVer.h"

void ErrorReporter::LogError(const QString& msg)
{
    if (!m_silenced && !deliver(msg))
        m_history.EventMsg(msg);
}

void ErrorReporter::LogErrorInHistory(const QString& msg)
{
    if (m_silenced)
        return;
    m_history.EventMsg(msg);
    deliver(msg);
}

bool ErrorReporter::deliver(const QString& msg)
{
    if (m_platform.WinverPlatform() == cWinVer::WindowsNT && m_serviceMode && m_serviceLog) {
        m_serviceLog->LogEvent(ServiceEventLog::Warning, kErrorEventId,
                               QStringLiteral("Hostvane-") + msg);
        return true;
    }
    return m_prompt.Notify(AppIdentity::Title(), msg);
}
