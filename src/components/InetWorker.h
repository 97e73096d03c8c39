#pragma once

#include "components/FtpConnection.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <optional>

// One FTP operation as the worker carries it out, with the component's properties as they
// were when it was started.
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
    QString remotePath;
    QString localFile;
    QString server; // "ftp://host:port" or "ftps://host:port", the scheme and authority only
    bool tls = false;
    QString caFile; // trusted besides the system's store; empty for none
    QString userName;
    QString password;
    int timeoutSeconds = 0; // always positive once the component has set it
    QString proxy;          // "host:port", empty for a direct connection
    // Set when the operation must fail without a word to the server: why, and the code.
    QString refusal;
    qint32 refusalCode = 0;
};

// Runs the operations on its own thread with one connection, so a connection opened by one
// operation serves the next until it is closed. Reports each state as it is reached.
class InetWorker : public QObject, private FtpListener
{
    Q_OBJECT
public:
    explicit InetWorker(const std::atomic_bool& abort);
    ~InetWorker() override;

    void run(const InetRequest& request);

signals:
    // `responseCode` and `responseInfo` describe the failure when `state` is the error state.
    void stateReached(qint16 state, qint32 responseCode, const QString& responseInfo);
    void operationEnded();

private:
    void transfer(const InetRequest& request);
    std::optional<FtpFailure> remove(const InetRequest& request);
    std::optional<FtpFailure> put(const InetRequest& request);
    void disconnectFromHost();
    void report(qint16 state) { emit stateReached(state, 0, QString()); }
    void reportFailure(const FtpFailure& failure);
    QString scrubbed(QString text) const;

    void socketOpening() override;
    void requesting() override;
    void sent(const QByteArray& line) override;
    void received(const QByteArray& line) override;
    void connected();

    FtpConnection m_ftp;
    // Progress of the operation under way, as the connection tells it.
    bool m_socketOpened = false;
    bool m_connectedReported = false;
    bool m_requesting = false;
    bool m_requestSent = false;
    bool m_receiving = false;
    QByteArray m_command;
    QString m_password;
};
