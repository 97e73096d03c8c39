#pragma once

#include "components/ServiceEventLog.h"

#include <QString>

// System log entries appended to a file as lines "<type> [<id>] <text>", for a machine without
// a system logger to read them from, and for tests that run the program.
class FileEventLog final : public ServiceEventLog
{
public:
    explicit FileEventLog(QString path) : m_path(std::move(path)) {}

    void LogEvent(qint16 eventType, qint32 eventId, const QString& text) override;

private:
    QString m_path;
};
