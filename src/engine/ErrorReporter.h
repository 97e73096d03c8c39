#pragma once

#include <QString>

class Prompt;
class cWinVer;

// Where a service writes its system log entries.
class ServiceEventLog
{
public:
    enum EventType : qint16
    {
        Success = 0,
        Warning = 2
    };
    virtual ~ServiceEventLog() = default;
    virtual void LogEvent(qint16 eventType, qint32 eventId, const QString& text) = 0;
};

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

    void LogError(const QString& msg);

private:
    const cWinVer& m_platform;
    Prompt& m_prompt;
    ServiceEventLog* m_serviceLog = nullptr;
    bool m_serviceMode = false;
};
