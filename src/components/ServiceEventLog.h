#pragma once

#include <QString>

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
