#include "support/LoopbackServer.h"

#include "support/TestCertificates.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// Debian's interpreter, which has pyftpdlib; the first python3 on PATH may not.
const QString kPython = QStringLiteral("/usr/bin/python3");

QString script(const char* name)
{
    return QStringLiteral(HOSTVANE_TEST_SUPPORT_DIR "/") + QLatin1String(name);
}

QString proxyLog(const QString& folder)
{
    return folder + QStringLiteral("/tunnels.log");
}

QString commandLog(const QString& folder)
{
    return folder + QStringLiteral("/commands.log");
}

const QString kHome = QStringLiteral("/home");
} // namespace

LoopbackServer LoopbackServer::Ftp(const QString& user, const QString& password,
                                   const QStringList& options)
{
    auto folder = std::make_unique<QTemporaryDir>();
    const QString path = folder->path();
    QDir().mkdir(path + kHome);
    return LoopbackServer(script("ftp_server.py"),
                          QStringList{QStringLiteral("--user"), user, QStringLiteral("--password"),
                                      password, QStringLiteral("--home"), path + kHome,
                                      QStringLiteral("--log"), commandLog(path)} +
                              options,
                          std::move(folder), kHome);
}

LoopbackServer LoopbackServer::FtpOverTls(const QString& user, const QString& password, Tls tls,
                                          const QString& certificate, const QStringList& options)
{
    return Ftp(
        user, password,
        QStringList{QStringLiteral("--tls"),
                    tls == ExplicitTls ? QStringLiteral("explicit") : QStringLiteral("implicit"),
                    QStringLiteral("--cert"), TestCertificates::serverFile(certificate)} +
            options);
}

LoopbackServer LoopbackServer::Silent()
{
    return LoopbackServer(script("ftp_server.py"), {QStringLiteral("--silent")}, nullptr);
}

LoopbackServer LoopbackServer::ConnectProxy()
{
    auto folder = std::make_unique<QTemporaryDir>();
    const QString log = proxyLog(folder->path());
    return LoopbackServer(script("connect_proxy.py"), {log}, std::move(folder));
}

LoopbackServer LoopbackServer::AddressEcho(const QString& body, int status,
                                           const QStringList& options)
{
    return LoopbackServer(script("echo_server.py"),
                          QStringList{QStringLiteral("--body"), body, QStringLiteral("--status"),
                                      QString::number(status)} +
                              options,
                          nullptr);
}

LoopbackServer LoopbackServer::UpdateService(const QString& body, const QString& certificate,
                                             int repeat)
{
    auto folder = std::make_unique<QTemporaryDir>();
    QStringList options{
        QStringLiteral("--body"),     body,
        QStringLiteral("--requests"), folder->filePath(QStringLiteral("requests.log")),
        QStringLiteral("--repeat"),   QString::number(repeat)};
    if (!certificate.isEmpty())
        options << QStringLiteral("--tls") << TestCertificates::serverFile(certificate);
    return LoopbackServer(script("echo_server.py"), options, std::move(folder));
}

QStringList LoopbackServer::requests() const
{
    QFile log(m_folder->filePath(QStringLiteral("requests.log")));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

LoopbackServer::LoopbackServer(const QString& scriptPath, const QStringList& arguments,
                               std::unique_ptr<QTemporaryDir> folder, const QString& homeInFolder)
    : m_folder(std::move(folder)), m_homeInFolder(homeInFolder),
      m_process(std::make_unique<QProcess>())
{
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process->start(kPython, QStringList{scriptPath} + arguments);
    if (!m_process->waitForStarted(10000))
        throw std::runtime_error("cannot start " + kPython.toStdString());
    QByteArray line;
    while (!line.contains('\n') && m_process->waitForReadyRead(15000))
        line += m_process->readAllStandardOutput();
    bool ok = false;
    m_port = line.trimmed().toUShort(&ok);
    const qsizetype bind = arguments.indexOf(QStringLiteral("--bind"));
    if (bind >= 0 && bind + 1 < arguments.size())
        m_host = QLatin1Char('[') + arguments.at(bind + 1) + QLatin1Char(']');
    if (!ok)
        throw std::runtime_error("the loopback server did not start: " + scriptPath.toStdString());
}

LoopbackServer::LoopbackServer(LoopbackServer&&) noexcept = default;

LoopbackServer::~LoopbackServer()
{
    if (!m_process)
        return;
    m_process->kill();
    m_process->waitForFinished(5000);
}

QString LoopbackServer::home() const
{
    return m_folder ? m_folder->path() + m_homeInFolder : QString();
}

QString LoopbackServer::url() const
{
    return QStringLiteral("FTP://") + address();
}

QString LoopbackServer::address() const
{
    return m_host + QLatin1Char(':') + QString::number(m_port);
}

int LoopbackServer::tunnelsOpened() const
{
    QFile log(proxyLog(home()));
    return log.open(QIODevice::ReadOnly) ? static_cast<int>(log.readAll().count('\n')) : 0;
}

QStringList LoopbackServer::commands() const
{
    QFile log(commandLog(m_folder ? m_folder->path() : QString()));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

quint16 LoopbackServer::UnusedPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), size);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(fd);
    return ntohs(address.sin_port);
}
