#include "support/SshServer.h"

#include "support/LoopbackServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <pwd.h>
#include <stdexcept>
#include <unistd.h>

namespace {

const QString kTestUser = QStringLiteral("hostvane-sftp");
const QString kTestPassword = QStringLiteral("Sftp-pa55word");

void run(const QString& program, const QStringList& arguments, const QByteArray& input = {})
{
    QProcess process;
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        throw std::runtime_error(
            (program + QLatin1Char(' ') + arguments.join(QLatin1Char(' '))).toStdString() +
            " failed: " + process.readAllStandardError().toStdString());
}

bool listening(quint16 port)
{
    QTcpSocket probe;
    probe.connectToHost(QStringLiteral("127.0.0.1"), port);
    return probe.waitForConnected(200);
}

} // namespace

void MakeSshKey(const QString& path)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral(".pub"));
    run(QStringLiteral("ssh-keygen"),
        {QStringLiteral("-q"), QStringLiteral("-t"), QStringLiteral("ed25519"),
         QStringLiteral("-N"), QString(), QStringLiteral("-f"), path});
}

SshServer::SshServer()
    : m_folder(std::make_unique<QTemporaryDir>()), m_process(std::make_unique<QProcess>())
{
    // The user logging in must be able to reach its home inside the folder.
    QFile::setPermissions(m_folder->path(), QFile::permissions(m_folder->path()) | QFile::ExeOther |
                                                QFile::ReadOther | QFile::ExeGroup |
                                                QFile::ReadGroup);
    QDir().mkdir(home());
    prepareUser();
    MakeSshKey(file("host_ed25519"));
    QFile(file("authorized_keys")).open(QIODevice::WriteOnly);
    QFile::setPermissions(file("authorized_keys"), QFile::ReadOwner | QFile::WriteOwner |
                                                       QFile::ReadOther | QFile::ReadGroup);
    m_port = LoopbackServer::UnusedPort();
    writeConfig();

    m_process->setStandardOutputFile(file("sshd.log"));
    m_process->setStandardErrorFile(file("sshd.log"));
    m_process->start(QStringLiteral("/usr/sbin/sshd"), {QStringLiteral("-D"), QStringLiteral("-e"),
                                                        QStringLiteral("-f"), file("sshd_config")});
    QElapsedTimer waited;
    waited.start();
    while (!listening(m_port)) {
        if (m_process->state() == QProcess::NotRunning || waited.elapsed() > 10000)
            throw std::runtime_error("sshd did not start: " + log().toStdString());
    }
}

SshServer::~SshServer()
{
    m_process->terminate();
    if (!m_process->waitForFinished(5000))
        m_process->kill();
}

QString SshServer::file(const char* name) const
{
    return m_folder->path() + QLatin1Char('/') + QLatin1String(name);
}

QString SshServer::home() const
{
    return file("home");
}

void SshServer::makeDirectory(const QString& name) const
{
    const QString path = home() + QLatin1Char('/') + name;
    QDir().mkdir(path);
    if (::geteuid() == 0)
        run(QStringLiteral("chown"), {m_user, path});
}

void SshServer::prepareUser()
{
    if (::geteuid() != 0) {
        m_user = QString::fromLocal8Bit(::getpwuid(::geteuid())->pw_name);
        return;
    }
    // Privilege separation needs its empty directory; a container may lack it.
    QDir().mkpath(QStringLiteral("/run/sshd"));
    if (!::getpwnam(kTestUser.toLocal8Bit().constData()))
        run(QStringLiteral("useradd"),
            {QStringLiteral("--no-create-home"), QStringLiteral("--home-dir"),
             QStringLiteral("/nonexistent"), QStringLiteral("--shell"),
             QStringLiteral("/usr/sbin/nologin"), kTestUser});
    run(QStringLiteral("chpasswd"), {}, (kTestUser + QLatin1Char(':') + kTestPassword).toUtf8());
    m_user = kTestUser;
    run(QStringLiteral("chown"), {m_user, home()});
    m_password = kTestPassword;
}

void SshServer::writeConfig() const
{
    QFile config(file("sshd_config"));
    if (!config.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write the sshd configuration");
    const QByteArray sftp = "internal-sftp -d " + home().toUtf8();
    config.write("ListenAddress 127.0.0.1\nPort " + QByteArray::number(m_port) + "\nHostKey " +
                 file("host_ed25519").toUtf8() +
                 "\nPidFile none\nUsePAM no\nStrictModes no\nPermitRootLogin yes\n"
                 "PasswordAuthentication yes\nKbdInteractiveAuthentication no\n"
                 "PubkeyAuthentication yes\nAuthorizedKeysFile " +
                 file("authorized_keys").toUtf8() + "\nAllowUsers " + m_user.toUtf8() +
                 "\nLogLevel DEBUG3\nLoginGraceTime 20\nSubsystem sftp " + sftp +
                 "\nForceCommand " + sftp + "\n");
}

QByteArray SshServer::knownHostsLine() const
{
    QFile key(file("host_ed25519.pub"));
    if (!key.open(QIODevice::ReadOnly))
        return {};
    const QList<QByteArray> parts = key.readAll().trimmed().split(' ');
    return "[127.0.0.1]:" + QByteArray::number(m_port) + ' ' + parts.value(0) + ' ' +
           parts.value(1) + '\n';
}

void SshServer::authorize(const QString& publicKeyFile) const
{
    QFile key(publicKeyFile);
    QFile keys(file("authorized_keys"));
    if (!key.open(QIODevice::ReadOnly) || !keys.open(QIODevice::Append))
        throw std::runtime_error("cannot authorize " + publicKeyFile.toStdString());
    keys.write(key.readAll());
}

QByteArray SshServer::log() const
{
    QFile log(file("sshd.log"));
    return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
}

SshAgent::SshAgent(const QString& privateKey)
    : m_folder(std::make_unique<QTemporaryDir>()), m_process(std::make_unique<QProcess>())
{
    const QString socket = m_folder->path() + QStringLiteral("/agent");
    m_process->start(QStringLiteral("ssh-agent"),
                     {QStringLiteral("-D"), QStringLiteral("-a"), socket});
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(socket)) {
        if (m_process->state() == QProcess::NotRunning || waited.elapsed() > 10000)
            throw std::runtime_error("ssh-agent did not start");
        m_process->waitForFinished(50);
    }
    qputenv("SSH_AUTH_SOCK", socket.toUtf8());
    run(QStringLiteral("ssh-add"), {QStringLiteral("-q"), privateKey});
}

SshAgent::~SshAgent()
{
    qunsetenv("SSH_AUTH_SOCK");
    m_process->terminate();
    if (!m_process->waitForFinished(5000))
        m_process->kill();
}
