#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>

typedef void CURL;

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
    QString server; // "ftp://host:port", the scheme and authority only
    QString userName;
    QString password;
    int timeoutSeconds = 0; // always positive once the component has set it
    QString proxy;          // empty for a direct connection
};

// Runs the operations on its own thread with one curl handle, so a connection opened by one
// operation serves the next until it is closed. Reports each state as it is reached.
class InetWorker : public QObject
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
    void disconnectFromHost();
    void closeConnection();
    bool prepare(const InetRequest& request, const QByteArray& url);
    void report(qint16 state) { emit stateReached(state, 0, QString()); }
    QString scrubbed(QString text) const;

    friend struct InetCallbacks;

    const std::atomic_bool& m_abort;
    CURL* m_curl = nullptr;
    bool m_connectionOpen = false;
    // Progress of the operation under way, as curl's callbacks see it.
    bool m_socketOpened = false;
    bool m_connectedReported = false;
    bool m_requesting = false;
    bool m_requestSent = false;
    bool m_receiving = false;
    QByteArray m_command;
    QByteArray m_lastReply;
    QByteArray m_commandReply; // the server's answer to the operation's own command
    QString m_password;
};
