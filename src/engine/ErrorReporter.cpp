#include "engine/ErrorReporter.h"

#include "system/AppIdentity.h"
#include "system/Prompt.h"
#include "system/cWinVer.h"

void ErrorReporter::LogError(const QString& msg)
{
    if (m_silenced)
        return;
    if (m_platform.WinverPlatform() == cWinVer::WindowsNT && m_serviceMode && m_serviceLog) {
        m_serviceLog->LogEvent(ServiceEventLog::Warning, kErrorEventId,
                               QStringLiteral("Hostvane-") + msg);
        return;
    }
    m_prompt.Show(AppIdentity::Title(), msg, Prompt::Buttons::Ok);
}
