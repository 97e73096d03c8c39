#pragma once

#include "engine/CheckHost.h"

class Clock;
class ProgramView;

// Where the program's checks write: the window's history and counters, and every history and
// FTP error line also on standard error with the local time in front, for a terminal or the
// journal.
class ProgramHistory final : public CheckHost
{
public:
    explicit ProgramHistory(const Clock& clock) : m_clock(clock) {}

    void setView(ProgramView& view) { m_view = &view; }

    void ClearEvents() override;
    void EventMsg(const QString& msg) override;
    void ShowFtpStats(qint32 errorCount, qint32 uploadCount) override;
    void AddFtpErrorLine(const QString& line) override;

private:
    void writeStamped(const QString& line) const;

    const Clock& m_clock;
    ProgramView* m_view = nullptr;
};
