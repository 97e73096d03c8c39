#pragma once

#include "platform/CommandRunner.h"

#include <chrono>

// Runs programs with QProcess. The wait serves window events, so the window never freezes
// while systemctl answers, and it is bounded, so a manager that never answers cannot hang it.
class ProcessRunner final : public CommandRunner
{
public:
    explicit ProcessRunner(std::chrono::milliseconds timeout = std::chrono::seconds(20))
        : m_timeout(timeout)
    {
    }

    int Run(const QString& program, const QStringList& arguments) override;
    QString LastErrorLine() const override { return m_lastErrorLine; }
    bool StartDetached(const QString& program, const QStringList& arguments) override;

private:
    std::chrono::milliseconds m_timeout;
    QString m_lastErrorLine;
};
