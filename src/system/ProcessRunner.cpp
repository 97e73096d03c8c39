#include "system/ProcessRunner.h"

#include "system/ErrorTail.h"
#include "system/EventLoopWait.h"

#include <QProcess>

int ProcessRunner::Run(const QString& program, const QStringList& arguments)
{
    m_lastErrorLine.clear();
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    ErrorTail errors(process);
    process.start(program, arguments);
    if (!process.waitForStarted()) {
        m_lastErrorLine = process.errorString();
        return kFailed;
    }
    const bool ended = process.state() == QProcess::NotRunning ||
                       WaitForSignal(&process, &QProcess::finished, m_timeout);
    if (!ended) {
        process.kill();
        process.waitForFinished();
    }
    m_lastErrorLine = errors.LastLine();
    if (!ended)
        return kFailed;
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : kFailed;
}

bool ProcessRunner::StartDetached(const QString& program, const QStringList& arguments)
{
    return QProcess::startDetached(program, arguments);
}
