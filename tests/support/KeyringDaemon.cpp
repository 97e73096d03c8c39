#include "support/KeyringDaemon.h"

#include <csignal>
#include <sys/prctl.h>

namespace {

const QString kName = QStringLiteral("org.freedesktop.secrets");

// Claims the name, and then never reads the bus again.
const QString kSilent = QStringLiteral("import dbus, time\n"
                                       "bus = dbus.SessionBus()\n"
                                       "bus.request_name('org.freedesktop.secrets')\n"
                                       "time.sleep(3600)\n");

} // namespace

KeyringDaemon::KeyringDaemon(Kind kind)
{
    m_daemon.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    if (kind == Silent) {
        // Debian's interpreter, which has the dbus module.
        m_daemon.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), kSilent});
    } else {
        m_daemon.start(QStringLiteral("gnome-keyring-daemon"),
                       {QStringLiteral("--foreground"), QStringLiteral("--components=secrets"),
                        QStringLiteral("--unlock")});
        // --unlock reads the login keyring's password until the end of its input.
        if (m_daemon.waitForStarted()) {
            m_daemon.write("keyring password");
            m_daemon.waitForBytesWritten();
        }
        m_daemon.closeWriteChannel();
    }
    m_running = m_daemon.waitForStarted() &&
                QProcess::execute(QStringLiteral("gdbus"),
                                  {QStringLiteral("wait"), QStringLiteral("--session"),
                                   QStringLiteral("--timeout"), QStringLiteral("10"), kName}) == 0;
}

bool KeyringDaemon::lock()
{
    return QProcess::execute(
               QStringLiteral("gdbus"),
               {QStringLiteral("call"), QStringLiteral("--session"), QStringLiteral("--dest"),
                kName, QStringLiteral("--object-path"), QStringLiteral("/org/freedesktop/secrets"),
                QStringLiteral("--method"), QStringLiteral("org.freedesktop.Secret.Service.Lock"),
                QStringLiteral("['/org/freedesktop/secrets/collection/login']")}) == 0;
}

KeyringDaemon::~KeyringDaemon()
{
    m_daemon.terminate();
    if (!m_daemon.waitForFinished(5000))
        m_daemon.kill();
    m_daemon.waitForFinished();
}
