#include "support/UserManager.h"

#include <QDeadlineTimer>
#include <QThread>

#include <csignal>
#include <sys/prctl.h>

UserManager::UserManager(const QString& runtimeDir) : m_runtimeDir(runtimeDir)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    m_manager.setProcessEnvironment(environment);
    m_manager.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_manager.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_manager.start(QStringLiteral("unshare"),
                    {QStringLiteral("--mount"), QStringLiteral("--propagation"),
                     QStringLiteral("private"), QStringLiteral("sh"), QStringLiteral("-c"),
                     QStringLiteral("mount -t tmpfs tmpfs /run && mkdir -p /run/systemd/system && "
                                    "exec /lib/systemd/systemd --user")});
    if (!m_manager.waitForStarted())
        return;
    const QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired() && m_manager.state() == QProcess::Running) {
        // is-system-running would look at this namespace's /run, not the manager's.
        QString state;
        systemctl({QStringLiteral("show"), QStringLiteral("-p"), QStringLiteral("SystemState"),
                   QStringLiteral("--value")},
                  &state);
        if (state.trimmed() == u"running" || state.trimmed() == u"degraded") {
            m_running = true;
            return;
        }
        QThread::msleep(100);
    }
}

UserManager::~UserManager()
{
    // The manager stops its units and ends.
    m_manager.terminate();
    if (!m_manager.waitForFinished(20000))
        m_manager.kill();
    m_manager.waitForFinished();
}

int UserManager::systemctl(const QStringList& arguments, QString* output) const
{
    QProcess systemctl;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtimeDir);
    systemctl.setProcessEnvironment(environment);
    systemctl.setProcessChannelMode(QProcess::MergedChannels);
    systemctl.start(QStringLiteral("systemctl"), QStringList{QStringLiteral("--user")} + arguments);
    if (!systemctl.waitForFinished(30000))
        return -1;
    if (output)
        *output = QString::fromLocal8Bit(systemctl.readAllStandardOutput());
    return systemctl.exitStatus() == QProcess::NormalExit ? systemctl.exitCode() : -1;
}
