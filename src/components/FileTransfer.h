#pragma once

#include "components/SftpHostKey.h"

#include <QObject>
#include <QString>

#include <optional>

// What publishing needs of a file transfer: set the properties, then Execute one operation at
// a time. Execute returns at once; progress arrives as StateChanged, and ExecutionEnded follows
// the operation's last state. The engine knows transfers by this interface only; Inet is the
// one the program uses.
class FileTransfer : public QObject
{
    Q_OBJECT
public:
    enum State : qint16
    {
        icNone = 0,
        icResolvingHost = 1,
        icHostResolved = 2,
        icConnecting = 3,
        icConnected = 4,
        icRequesting = 5,
        icRequestSent = 6,
        icReceivingResponse = 7,
        icResponseReceived = 8,
        icDisconnecting = 9,
        icDisconnected = 10,
        icError = 11,
        icResponseCompleted = 12,
    };
    enum AccessTypes : qint16
    {
        icDirect = 1,
        icNamedProxy = 2
    };

    // Raised by Execute when the operation cannot be started.
    struct ExecuteError
    {
        qint32 number;
        QString description;
    };
    // Used when RequestTimeout is not a positive number of seconds.
    static constexpr qint16 kDefaultRequestTimeout = 60;

    using QObject::QObject;

    // "FTP://" followed by the host as the user wrote it: "host[:port]" or "ftp://host[:port]"
    // for plain FTP (port 21), "ftpes://host[:port]" for explicit TLS (port 21),
    // "ftps://host[:port]" for implicit TLS (port 990) or "sftp://host[:port]".
    QString URL;
    QString UserName;
    QString Password;
    // Seconds any wait for the server may take: a connect, a reply or a stalled transfer.
    qint16 RequestTimeout = kDefaultRequestTimeout;
    // "host:port" (or "http://host:port") of an HTTP proxy through which the connection is
    // tunnelled (AccessType 2).
    QString Proxy;
    qint16 AccessType = icDirect;

    virtual std::optional<ExecuteError> Execute(const QString& operation) = 0;
    // For a program that is ending: the operation in flight ends at once with state 11, and
    // so does every later one.
    virtual void Abandon() = 0;
    virtual bool StillExecuting() const = 0;
    virtual qint32 ResponseCode() const = 0;
    virtual QString ResponseInfo() const = 0;
    // The SFTP server's host key when the last operation was refused because no known_hosts
    // file knows it (never when the key changed): what the user is asked to trust.
    virtual const std::optional<SftpHostKey>& UnknownHostKey() const = 0;
    // The same for a key refused because it differs from the one on file: a security event.
    virtual const std::optional<SftpHostKey>& ChangedHostKey() const = 0;
    // The fingerprint of the key on file that ChangedHostKey differs from.
    virtual QString KnownFingerprint() const = 0;

signals:
    void StateChanged(qint16 State);
    void ExecutionEnded();
};
