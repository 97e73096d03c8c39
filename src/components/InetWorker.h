#pragma once

#include "components/InetRequest.h"
#include "components/RemoteConnection.h"
#include "components/SftpHostKey.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <optional>

class RemoteFiles;

// Runs the operations on its own thread with one connection, so a connection opened by one
// operation serves the next until it is closed. Reports each state as it is reached.
class InetWorker : public QObject, private ConnectionListener
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
    // Before the error state of an operation refused because the SFTP server's key is not known.
    void hostKeyUnknown(const SftpHostKey& key);
    // The same for a key that differs from the one known_hosts holds, with that one's fingerprint.
    void hostKeyChanged(const SftpHostKey& key, const QString& knownFingerprint);

private:
    void transfer(const InetRequest& request);
    std::optional<TransferFailure> remove(RemoteFiles& files, const InetRequest& request);
    std::optional<TransferFailure> put(RemoteFiles& files, const InetRequest& request);
    void disconnectFromHost();
    void report(qint16 state) { emit stateReached(state, 0, QString()); }
    void reportFailure(const TransferFailure& failure);

    void socketOpening() override;
    void requesting() override;
    void sent(const QByteArray& line) override;
    void received(const QByteArray& line) override;
    void connected();

    RemoteConnection m_connection;
    // Progress of the operation under way, as the connection tells it.
    bool m_socketOpened = false;
    bool m_connectedReported = false;
    bool m_requesting = false;
    bool m_requestSent = false;
    bool m_receiving = false;
    bool m_sftp = false;
    QByteArray m_command;
    QString m_password;
};
