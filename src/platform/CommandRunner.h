#pragma once

#include <QString>
#include <QStringList>

// Starts the system programs the program drives (systemctl, a system-information viewer). Tests
// replace it to see what would have run and to answer for it.
class CommandRunner
{
public:
    // A program that could not be started, was killed or did not end in time.
    static constexpr int kFailed = -1;

    virtual ~CommandRunner() = default;

    // Runs the program and waits, bounded, for it to end; its exit code, or kFailed.
    virtual int Run(const QString& program, const QStringList& arguments) = 0;
    // The last line the program last run wrote to standard error, escaped; empty for none.
    virtual QString LastErrorLine() const = 0;
    // Starts the program on its own, not waiting for it; false when it could not start.
    virtual bool StartDetached(const QString& program, const QStringList& arguments) = 0;
};
