#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// An OpenSSH sshd on a free loopback port with its own host key, configuration and log
// (DEBUG3), ended with the object, serving SFTP to one user in a home the test inspects. As
// root (CI) the user is made for the tests, since sshd checks passwords only against system
// accounts; otherwise it is the user running the tests, who logs in with a key only.
class SshServer
{
public:
    // `ecdsaToo`: the server also has an ECDSA host key, which libssh2 prefers to ed25519.
    explicit SshServer(bool ecdsaToo = false);
    ~SshServer();

    quint16 port() const { return m_port; }
    QString user() const { return m_user; }
    QString password() const { return m_password; } // empty when not run as root
    QString home() const { return file("home"); }
    // Makes the directory `name` in the home, owned by the user.
    void makeDirectory(const QString& name) const;
    // The known_hosts line that trusts this server's host key on its port.
    QByteArray knownHostsLine() const;
    // Lets the holder of the private half of `publicKeyFile` log in.
    void authorize(const QString& publicKeyFile) const;
    QByteArray log() const { return read("sshd.log"); }

private:
    QString file(const char* name) const
    {
        return m_folder.path() + QLatin1Char('/') + QLatin1String(name);
    }
    QByteArray read(const char* name) const;

    QTemporaryDir m_folder;
    QProcess m_process;
    QString m_user;
    QString m_password;
    quint16 m_port = 0;
};

// Runs `program` to its end; throws when it fails.
void RunTool(const QString& program, const QStringList& arguments, const QByteArray& input = {});
// A fresh ed25519 key pair, without a passphrase unless one is given: `path` and `path`.pub.
void MakeSshKey(const QString& path, const QString& passphrase = {});
