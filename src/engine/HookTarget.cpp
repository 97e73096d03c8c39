#include "engine/HookTarget.h"

#include "engine/CheckHost.h"
#include "settings/Settings.h"
#include "system/RuntimeFormat.h"

#include "platform/ProcessGroup.h"
#include "system/ErrorTail.h"
#include "system/EventLoopWait.h"

#include <QProcess>

bool HookTarget::Enabled(const Settings& settings) const
{
    return !settings.sHookCommand.isEmpty();
}

PublishTarget::Result HookTarget::Publish(const CheckAddresses& addresses,
                                          const PublishContext& context)
{
    const QString& command = context.settings.sHookCommand;
    QStringList arguments = QProcess::splitCommand(command);
    if (arguments.isEmpty()) {
        m_host.EventMsg(QStringLiteral("Hook not run: the command is empty"));
        return Result::Failed;
    }
    const QString program = arguments.takeFirst();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOSTVANE_IP"), addresses.ip);
    environment.insert(QStringLiteral("HOSTVANE_IP6"), addresses.ip6);
    environment.insert(QStringLiteral("HOSTVANE_PREVIOUS_IP"), context.previous.ip);
    environment.insert(QStringLiteral("HOSTVANE_PREVIOUS_IP6"), context.previous.ip6);
    for (const char* target : {"page", "dns", "dyndns"})
        environment.insert(QStringLiteral("HOSTVANE_") + QString::fromLatin1(target).toUpper(),
                           context.states.value(QLatin1String(target), QStringLiteral("off")));

    QProcess process;
    process.setProcessEnvironment(environment);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    ErrorTail errors(process);
    // Its own process group, so a hook that hangs is ended with all it started.
    process.setChildProcessModifier(ProcessGroup::LeadNewGroup);
    m_host.EventMsg(QStringLiteral("Hook run: ") + PrintableText(command));
    process.start(program, arguments);
    if (!process.waitForStarted()) {
        m_host.EventMsg(QStringLiteral("Hook failed: cannot start ") + PrintableText(program));
        return Result::Failed;
    }
    const qint64 group = process.processId();
    const bool ended = process.state() == QProcess::NotRunning ||
                       WaitForSignal(&process, &QProcess::finished, m_timeout);
    if (!ended) {
        ProcessGroup::EndGroup(group);
        process.waitForFinished();
        m_host.EventMsg(
            QStringLiteral("Hook failed: still running after %1 seconds; it was ended with "
                           "the processes it started")
                .arg(std::chrono::duration_cast<std::chrono::seconds>(m_timeout).count()));
        return Result::Failed;
    }
    const QString said = errors.LastLine();
    const QString tail =
        said.isEmpty() ? QString() : QStringLiteral(" (") + said + QLatin1Char(')');
    if (process.exitStatus() != QProcess::NormalExit) {
        m_host.EventMsg(QStringLiteral("Hook failed: ended by a signal") + tail);
        return Result::Failed;
    }
    m_host.EventMsg(QStringLiteral("Hook ended with exit code %1").arg(process.exitCode()) + tail);
    return process.exitCode() == 0 ? Result::Published : Result::Failed;
}
