#pragma once

#include <QString>

// Where a check writes what it does: the event history and the FTP counters. The program
// controller passes it on to the window and the journal; tests keep it to read.
class CheckHost
{
public:
    virtual ~CheckHost() = default;

    // Empties the event history: it shows the latest check only.
    virtual void ClearEvents() = 0;
    // Appends one line to the event history and selects it.
    virtual void EventMsg(const QString& msg) = 0;
    // The upload and error counters.
    virtual void ShowFtpStats(qint32 errorCount, qint32 uploadCount) = 0;
    // Appends one line to the list of FTP errors, leaving its selection alone.
    virtual void AddFtpErrorLine(const QString& line) = 0;
};
