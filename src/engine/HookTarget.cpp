#include "engine/HookTarget.h"

#include "engine/CheckHost.h"
#include "settings/Settings.h"
#include "system/RuntimeFormat.h"

#include <QEventLoop>
#include <QProcess>
#include <QTimer>

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
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setInputChannelMode(QProcess::ForwardedInputChannel);
    m_host.EventMsg(QStringLiteral("Hook run: ") + PrintableText(command));
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    process.start(program, arguments);
    limit.start(m_timeoutSeconds * 1000);
    if (process.state() != QProcess::NotRunning)
        loop.exec();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(1000);
        m_host.EventMsg(QStringLiteral("Hook failed: still running after %1 seconds; ended")
                            .arg(m_timeoutSeconds));
        return Result::Failed;
    }
    if (process.error() == QProcess::FailedToStart) {
        m_host.EventMsg(QStringLiteral("Hook failed: cannot start ") + PrintableText(program));
        return Result::Failed;
    }
    const bool exited = process.exitStatus() == QProcess::NormalExit;
    m_host.EventMsg(exited ? QStringLiteral("Hook ended with exit code %1").arg(process.exitCode())
                           : QStringLiteral("Hook failed: ended by a signal"));
    return exited && process.exitCode() == 0 ? Result::Published : Result::Failed;
}
