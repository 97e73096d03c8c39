#pragma once

#include "components/ServiceEventLog.h"

#include <QString>

class CheckHost;
class Prompt;
class cWinVer;

// The one channel for errors that someone must see: a message box in an ordinary run, a
// warning in the system log when the program runs as a service, where nobody would answer a
// box. The box does not wait for its answer, so the check and the schedule go on while it is
// open; an error that comes while it is still open goes into the history instead.
class ErrorReporter
{
public:
    static constexpr qint32 kErrorEventId = 109;

    ErrorReporter(const cWinVer& platform, Prompt& prompt, CheckHost& history)
        : m_platform(platform), m_prompt(prompt), m_history(history)
    {
    }

    void setServiceLog(ServiceEventLog* log) { m_serviceLog = log; }
    void setServiceMode(bool bServiceMode) { m_serviceMode = bServiceMode; }
    // From now on reports are dropped: the program is ending, and a check it abandoned would
    // only report the failures the abandoning caused.
    void Silence() { m_silenced = true; }

    void LogError(const QString& msg);
    // The same for an error the history is told of as well: it gets the line either way.
    void LogErrorInHistory(const QString& msg);

private:
    // False when a box is already open and this error was not shown.
    bool deliver(const QString& msg);

    const cWinVer& m_platform;
    Prompt& m_prompt;
    CheckHost& m_history;
    ServiceEventLog* m_serviceLog = nullptr;
    bool m_serviceMode = false;
    bool m_silenced = false;
};
