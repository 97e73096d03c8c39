#include "control/ProgramHistory.h"

#include "control/ProgramView.h"
#include "system/Clock.h"
#include "system/RuntimeFormat.h"

#include <cstdio>

void ProgramHistory::ClearEvents()
{
    m_view->ClearEvents();
}

void ProgramHistory::EventMsg(const QString& msg)
{
    const QString line = CutHistoryLine(msg);
    m_view->ShowEvent(line);
    writeStamped(line);
}

void ProgramHistory::ShowFtpStats(qint32 errorCount, qint32 uploadCount)
{
    m_view->ShowFtpStats(errorCount, uploadCount);
}

void ProgramHistory::AddFtpErrorLine(const QString& line)
{
    m_view->ShowFtpError(line);
    writeStamped(line);
}

void ProgramHistory::writeStamped(const QString& line) const
{
    std::fprintf(stderr, "%s\n", StampedLine(m_clock.now(), line).toLocal8Bit().constData());
    std::fflush(stderr);
}
