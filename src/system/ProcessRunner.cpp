#include "system/ProcessRunner.h"

#include "system/EventLoopWait.h"

#include <QProcess>

int ProcessRunner::Run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    if (!process.waitForStarted())
        return kFailed;
    const bool ended = process.state() == QProcess::NotRunning ||
                       WaitForSignal(&process, &QProcess::finished, m_timeout);
    if (!ended) {
        process.kill();
        process.waitForFinished();
        return kFailed;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : kFailed;
}

bool ProcessRunner::StartDetached(const QString& program, const QStringList& arguments)
{
    return QProcess::startDetached(program, arguments);
}
