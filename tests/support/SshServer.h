#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QProcess;
class QTemporaryDir;

// An OpenSSH server that a test starts on a free loopback port, with a host key, a
// configuration and a log of its own, and ends with the object. It serves SFTP only, to one
// user, in a home directory the test fills and inspects. Run as root (as CI does) that user is
// one made for the tests, since sshd checks a password only against the system's accounts;
// otherwise it is the user running the tests, who can then log in with a key only.
class SshServer
{
public:
    SshServer();
    ~SshServer();
    SshServer(const SshServer&) = delete;
    SshServer& operator=(const SshServer&) = delete;

    quint16 port() const { return m_port; }
    QString user() const { return m_user; }
    // Empty when password login cannot be offered (not run as root).
    QString password() const { return m_password; }
    QString home() const;
    // Makes the directory `name` in the home, owned by the user.
    void makeDirectory(const QString& name) const;
    // The known_hosts line that trusts this server's host key on its port.
    QByteArray knownHostsLine() const;
    // Lets the holder of the private key whose public half is in `publicKeyFile` log in.
    void authorize(const QString& publicKeyFile) const;
    // What the server logged so far (LogLevel DEBUG3: every authentication method tried).
    QByteArray log() const;

private:
    QString file(const char* name) const;
    void prepareUser();
    void writeConfig() const;

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<QProcess> m_process;
    QString m_user;
    QString m_password;
    quint16 m_port = 0;
};

// A fresh ed25519 key pair without a passphrase, as ssh-keygen makes it: `path` and `path`.pub.
void MakeSshKey(const QString& path);

// An ssh-agent holding the key `privateKey`, its socket in SSH_AUTH_SOCK while the object
// lives.
class SshAgent
{
public:
    explicit SshAgent(const QString& privateKey);
    ~SshAgent();
    SshAgent(const SshAgent&) = delete;
    SshAgent& operator=(const SshAgent&) = delete;

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<QProcess> m_process;
};
