#pragma once

#include "engine/CheckHost.h"

#include <QStringList>

#include <functional>

// Keeps everything a check writes.
class RecordingHost final : public CheckHost
{
public:
    void ClearEvents() override { history.clear(); }
    void EventMsg(const QString& msg) override
    {
        history.append(msg);
        if (onEvent)
            onEvent(msg);
    }
    void ShowFtpStats(qint32 errorCount, qint32 uploadCount) override
    {
        errorsShown = errorCount;
        uploadsShown = uploadCount;
    }
    void AddFtpErrorLine(const QString& line) override { ftpErrorLines.append(line); }

    // Called after each history line, to act in the middle of a check.
    std::function<void(const QString&)> onEvent;
    QStringList history;
    qint32 errorsShown = -1;
    qint32 uploadsShown = -1;
    QStringList ftpErrorLines;
};
