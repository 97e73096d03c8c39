#pragma once

#include "components/ServiceEventLog.h"

#include <QString>

class Prompt;
class cWinVer;

// The one channel for errors that someone must see: a message box in an ordinary run, a
// warning in the system log when the program runs as a service, where nobody would answer a
// box.
class ErrorReporter
{
public:
    static constexpr qint32 kErrorEventId = 109;

    ErrorReporter(const cWinVer& platform, Prompt& prompt) : m_platform(platform), m_prompt(prompt)
    {
    }

    void setServiceLog(ServiceEventLog* log) { m_serviceLog = log; }
    void setServiceMode(bool bServiceMode) { m_serviceMode = bServiceMode; }
    // From now on reports are dropped: the program is ending, and a check it abandoned would
    // only report the failures the abandoning caused.
    void Silence() { m_silenced = true; }

    void LogError(const QString& msg);

private:
    const cWinVer& m_platform;
    Prompt& m_prompt;
    ServiceEventLog* m_serviceLog = nullptr;
    bool m_serviceMode = false;
    bool m_silenced = false;
};
