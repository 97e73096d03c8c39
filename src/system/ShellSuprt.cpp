#include "system/ShellSuprt.h"

#include "platform/ProcessGroup.h"
#include "system/ErrorTail.h"
#include "system/EventLoopWait.h"

#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTimer>

namespace {

// The process group of the command ShellWait is waiting for, 0 when none runs.
qint64 g_runningGroup = 0;

// The settle deadline is counted on a clock read in whole seconds, so the wait lies between
// one second less than asked and the time asked.
void settle(qint16 settleSeconds)
{
    if (settleSeconds <= 0)
        return;
    const qint64 nowMs = QDateTime::currentMSecsSinceEpoch();
    const qint64 deadlineMs = (nowMs / 1000 + settleSeconds) * 1000;
    QEventLoop loop;
    QTimer::singleShot(std::chrono::milliseconds(deadlineMs - nowMs), &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

QString ShellSuprt::ShellCommandLine(const QString& commandLine)
{
    static const QRegularExpression nulTarget(QStringLiteral(R"((\d?>>?|<)\s*nul(?=\s|;|&|\||$))"),
                                              QRegularExpression::CaseInsensitiveOption);
    QString line = commandLine;
    line.replace(nulTarget, QStringLiteral("\\1 /dev/null"));
    return line;
}

void ShellSuprt::EndRunningCommand()
{
    ProcessGroup::EndGroup(g_runningGroup);
}

qint32 ShellWait(const QString& commandLine, bool useCommandInterpreter, qint16 settleSeconds,
                 std::chrono::milliseconds processTimeout, QString* lastErrorLine)
{
    // /bin/sh is the command interpreter here, so the flag adds no prefix.
    Q_UNUSED(useCommandInterpreter);

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString searchPath = environment.value(QStringLiteral("PATH"));
    environment.insert(QStringLiteral("PATH"),
                       QDir::currentPath() +
                           (searchPath.isEmpty() ? QString() : QLatin1Char(':') + searchPath));
    process.setProcessEnvironment(environment);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    ErrorTail errors(process);
    // Its own process group, so a command that hangs can be ended with all it started.
    process.setChildProcessModifier(ProcessGroup::LeadNewGroup);

    qint32 exitCode = ShellSuprt::kNotStarted;
    process.start(QStringLiteral("/bin/sh"),
                  {QStringLiteral("-c"), ShellSuprt::ShellCommandLine(commandLine)});
    if (process.waitForStarted()) {
        // The group keeps the shell's id while any of its members lives, so it names what the
        // command left behind even after the shell itself has been reaped.
        g_runningGroup = process.processId();
        const bool ended = process.state() == QProcess::NotRunning ||
                           WaitForSignal(&process, &QProcess::finished, processTimeout);
        ShellSuprt::EndRunningCommand();
        if (!ended) {
            process.waitForFinished();
            exitCode = ShellSuprt::kTimedOut;
        } else if (process.exitStatus() == QProcess::CrashExit) {
            exitCode = ShellSuprt::kKilledBySignal;
        } else {
            exitCode = process.exitCode();
        }
        g_runningGroup = 0;
    }
    if (lastErrorLine)
        *lastErrorLine = errors.LastLine();
    settle(settleSeconds);
    return exitCode;
}

namespace {

class SystemScriptRunner final : public ScriptRunner
{
public:
    qint32 Run(const QString& commandLine, bool useCommandInterpreter, qint16 settleSeconds,
               std::chrono::milliseconds processTimeout, QString* lastErrorLine) override
    {
        return ShellWait(commandLine, useCommandInterpreter, settleSeconds, processTimeout,
                         lastErrorLine);
    }
    void EndRunning() override { ShellSuprt::EndRunningCommand(); }
};

} // namespace

ScriptRunner& ScriptRunner::System()
{
    static SystemScriptRunner runner;
    return runner;
}
