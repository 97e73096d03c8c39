#include "support/SshServer.h"

#include "support/LoopbackServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpSocket>

#include <pwd.h>
#include <stdexcept>
#include <unistd.h>

namespace {
const QString kTestUser = QStringLiteral("hostvane-sftp");
const QString kTestPassword = QStringLiteral("Sftp-pa55word");
} // namespace

void RunTool(const QString& program, const QStringList& arguments, const QByteArray& input)
{
    QProcess process;
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        throw std::runtime_error(program.toStdString() +
                                 " failed: " + process.readAllStandardError().toStdString());
}

void MakeSshKey(const QString& path, const QString& passphrase)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral(".pub"));
    RunTool(QStringLiteral("ssh-keygen"),
            {QStringLiteral("-q"), QStringLiteral("-t"), QStringLiteral("ed25519"),
             QStringLiteral("-N"), passphrase, QStringLiteral("-f"), path});
}

SshServer::SshServer(bool ecdsaToo) : m_port(LoopbackServer::UnusedPort())
{
    // The user who logs in must reach its home inside the folder.
    QFile::setPermissions(m_folder.path(),
                          QFile::permissions(m_folder.path()) | QFile::ExeOther | QFile::ReadOther);
    QDir().mkdir(home());
    m_user = QString::fromLocal8Bit(::getpwuid(::geteuid())->pw_name);
    if (::geteuid() == 0) {
        QDir().mkpath(QStringLiteral("/run/sshd")); // privilege separation; a container may lack it
        if (!::getpwnam(kTestUser.toLocal8Bit().constData()))
            RunTool(QStringLiteral("useradd"), {QStringLiteral("-M"), QStringLiteral("-s"),
                                                QStringLiteral("/usr/sbin/nologin"), kTestUser});
        RunTool(QStringLiteral("chpasswd"), {},
                (kTestUser + QLatin1Char(':') + kTestPassword).toUtf8());
        m_user = kTestUser;
        m_password = kTestPassword;
    }
    makeDirectory(QString());
    MakeSshKey(file("host_ed25519"));
    QByteArray hostKeys = "\nHostKey " + file("host_ed25519").toUtf8();
    if (ecdsaToo) {
        RunTool(QStringLiteral("ssh-keygen"),
                {QStringLiteral("-q"), QStringLiteral("-t"), QStringLiteral("ecdsa"),
                 QStringLiteral("-N"), QString(), QStringLiteral("-f"), file("host_ecdsa")});
        hostKeys += "\nHostKey " + file("host_ecdsa").toUtf8();
    }
    QFile keys(file("authorized_keys"));
    QFile config(file("sshd_config"));
    if (!keys.open(QIODevice::WriteOnly) || !config.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write the sshd configuration");
    keys.setPermissions(keys.permissions() | QFile::ReadOther);
    const QByteArray sftp = "internal-sftp -d " + home().toUtf8();
    config.write("ListenAddress 127.0.0.1\nPort " + QByteArray::number(m_port) + hostKeys +
                 "\nPidFile none\nUsePAM no\nStrictModes no\nPermitRootLogin yes\n"
                 "KbdInteractiveAuthentication no\nAuthorizedKeysFile " +
                 file("authorized_keys").toUtf8() + "\nAllowUsers " + m_user.toUtf8() +
                 "\nLogLevel DEBUG3\nLoginGraceTime 20\nSubsystem sftp " + sftp +
                 "\nForceCommand " + sftp + "\n");
    config.close();

    m_process.setStandardOutputFile(file("sshd.log"));
    m_process.setStandardErrorFile(file("sshd.log"));
    m_process.start(QStringLiteral("/usr/sbin/sshd"), {QStringLiteral("-D"), QStringLiteral("-e"),
                                                       QStringLiteral("-f"), file("sshd_config")});
    const auto listening = [this] {
        QTcpSocket probe;
        probe.connectToHost(QStringLiteral("127.0.0.1"), m_port);
        return probe.waitForConnected(200);
    };
    QElapsedTimer waited;
    waited.start();
    while (!listening()) {
        if (m_process.state() == QProcess::NotRunning || waited.elapsed() > 10000)
            throw std::runtime_error("sshd did not start: " + log().toStdString());
    }
}

SshServer::~SshServer()
{
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
}

void SshServer::makeDirectory(const QString& name) const
{
    const QString path = home() + QLatin1Char('/') + name;
    QDir().mkpath(path);
    if (::geteuid() == 0)
        RunTool(QStringLiteral("chown"), {m_user, path});
}

QByteArray SshServer::knownHostsLine() const
{
    const QList<QByteArray> key = read("host_ed25519.pub").split(' ');
    return "[127.0.0.1]:" + QByteArray::number(m_port) + ' ' + key.value(0) + ' ' + key.value(1) +
           '\n';
}

void SshServer::authorize(const QString& publicKeyFile) const
{
    QFile key(publicKeyFile);
    QFile keys(file("authorized_keys"));
    if (!key.open(QIODevice::ReadOnly) || !keys.open(QIODevice::Append))
        throw std::runtime_error("cannot authorize " + publicKeyFile.toStdString());
    keys.write(key.readAll());
}

QByteArray SshServer::read(const char* name) const
{
    QFile log(file(name));
    return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
}
