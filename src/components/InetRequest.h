#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// One operation as the transfer worker carries it out, with the component's properties as
// they were when it was started.
struct InetRequest
{
    enum Kind
    {
        Delete,
        Put,
        Close,
        Quit
    };
    Kind kind = Quit;
    QString remotePath; // without dot segments
    QString localFile;
    QString server; // "ftp://host:port", "ftps://host:port" or "sftp://host:port"
    bool tls = false;
    bool sftp = false;
    // SFTP: the known_hosts files that decide whether the server's key is trusted (the last
    // is the program directory's), the user's private key file (empty for none) and the ssh
    // agent's socket, asked first (empty for none).
    QStringList knownHosts;
    QString privateKey;
    QString sshAgentSocket;
    QByteArray trustedAuthorities; // PEM, trusted besides the system's store; empty for none
    QString userName;
    QString password;
    int timeoutSeconds = 0; // always positive once the component has set it
    QString proxy;          // "host:port", empty for a direct connection
    // Set when the operation must fail without a word to the server: why, and the code.
    QString refusal;
    qint32 refusalCode = 0;
};
