#pragma once

#include "platform/CommandRunner.h"

#include <QList>
#include <QStringList>

#include <functional>

// A command runner that runs nothing: it records each command line and answers with the exit
// codes a test queued (0 once the queue is empty).
class RecordingRunner final : public CommandRunner
{
public:
    int Run(const QString& program, const QStringList& arguments) override
    {
        commands.append((QStringList{program} + arguments).join(QLatin1Char(' ')));
        if (onRun)
            onRun();
        return exitCodes.isEmpty() ? 0 : exitCodes.takeFirst();
    }
    QString LastErrorLine() const override { return errorLine; }
    bool StartDetached(const QString& program, const QStringList& arguments) override
    {
        detached.append((QStringList{program} + arguments).join(QLatin1Char(' ')));
        return startsDetached;
    }

    // Called while a program "runs", to act in the middle of whatever waits for it.
    std::function<void()> onRun;
    QList<int> exitCodes;
    QString errorLine; // what every program run said last on standard error
    bool startsDetached = true;
    QStringList commands;
    QStringList detached;
};
