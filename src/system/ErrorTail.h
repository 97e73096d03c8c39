#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QProcess;

// Passes what a process writes to standard error on to the program's own, as it comes, and
// keeps the end of it, bounded however much the process writes: the last line is what a
// message about its failure quotes.
class ErrorTail
{
public:
    // Reads `process`'s standard error from now on; set it up before the process starts.
    explicit ErrorTail(QProcess& process);
    ~ErrorTail();
    ErrorTail(const ErrorTail&) = delete;
    ErrorTail& operator=(const ErrorTail&) = delete;

    // The last line that is not blank, cut to kLineLimit characters with its control characters
    // escaped; empty when there is none.
    QString LastLine();

    static constexpr qsizetype kLineLimit = 200;

private:
    void take();

    QProcess& m_process;
    QMetaObject::Connection m_reading;
    QByteArray m_tail;
};
