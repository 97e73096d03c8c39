#include "support/PrivateNetwork.h"

#include <QProcess>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

namespace {

QString ipCommand()
{
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("ip"));
    return onPath.isEmpty()
               ? QStandardPaths::findExecutable(
                     QStringLiteral("ip"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")})
               : onPath;
}

QString lastError(const char* what)
{
    return QLatin1String(what) + QStringLiteral(": ") +
           QString::fromLocal8Bit(std::strerror(errno));
}

// What `ip` printed, or nothing when it failed.
std::optional<QByteArray> runIp(const QStringList& arguments, const QByteArray& input = {})
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(ipCommand(), arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return std::nullopt;
    return process.readAllStandardOutput();
}

} // namespace

PrivateNetwork::PrivateNetwork()
{
    m_home = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    if (m_home < 0) {
        m_failure = lastError("cannot open this thread's network namespace");
        return;
    }
    if (::unshare(CLONE_NEWNET) != 0) {
        m_failure = lastError("cannot make a network namespace (run as root)");
        ::close(m_home);
        m_home = -1;
        return;
    }
    if (ipCommand().isEmpty())
        m_failure = QStringLiteral("the ip command (iproute2) is missing");
    else if (!ip({QStringLiteral("link"), QStringLiteral("set"), QStringLiteral("lo"),
                  QStringLiteral("up")}))
        m_failure = QStringLiteral("cannot bring loopback up in the network namespace");
}

PrivateNetwork::~PrivateNetwork()
{
    if (m_home < 0)
        return;
    ::setns(m_home, CLONE_NEWNET);
    ::close(m_home);
}

bool PrivateNetwork::ip(const QStringList& arguments)
{
    return runIp(arguments).has_value();
}

std::optional<QByteArray> PrivateNetwork::ipBatch(const QByteArray& commands)
{
    return runIp({QStringLiteral("-o"), QStringLiteral("-batch"), QStringLiteral("-")}, commands);
}

bool PrivateNetwork::addPointToPoint(const QString& name, const QString& local, const QString& peer)
{
    return ip({QStringLiteral("tuntap"), QStringLiteral("add"), QStringLiteral("dev"), name,
               QStringLiteral("mode"), QStringLiteral("tun")}) &&
           ip({QStringLiteral("addr"), QStringLiteral("add"), local, QStringLiteral("peer"), peer,
               QStringLiteral("dev"), name}) &&
           ip({QStringLiteral("link"), QStringLiteral("set"), name, QStringLiteral("up")});
}
