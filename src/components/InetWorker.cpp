#include "components/InetWorker.h"

#include "components/Inet.h"
#include "components/PageUpload.h"
#include "components/RemoteFiles.h"
#include "components/ServerText.h"
#include "platform/RegularFile.h"

#include <QFile>

#include <curl/curl.h>

InetWorker::InetWorker(const std::atomic_bool& abort) : m_connection(abort)
{
}

InetWorker::~InetWorker() = default;

void InetWorker::run(const InetRequest& request)
{
    m_password = request.password;
    if (!request.refusal.isEmpty()) {
        reportFailure({request.refusalCode, request.refusal});
        emit operationEnded();
        return;
    }
    switch (request.kind) {
    case InetRequest::Delete:
    case InetRequest::Put:
        transfer(request);
        break;
    case InetRequest::Close:
        disconnectFromHost();
        break;
    case InetRequest::Quit:
        if (m_connection.isOpen()) {
            disconnectFromHost();
        } else {
            m_connection.close(); // a handle left by a failed transfer
            report(Inet::icResponseCompleted);
        }
        break;
    }
    emit operationEnded();
}

void InetWorker::disconnectFromHost()
{
    report(Inet::icDisconnecting);
    m_connection.close();
    report(Inet::icDisconnected);
}

void InetWorker::transfer(const InetRequest& request)
{
    m_socketOpened = m_connectedReported = m_requesting = m_requestSent = m_receiving = false;
    m_sftp = request.sftp;
    if (!m_connection.isOpen())
        report(Inet::icResolvingHost);

    m_connection.setListener(this);
    // The request's protocol picks the commands, once for the whole operation.
    const std::unique_ptr<RemoteFiles> files = RemoteFiles::of(m_connection, request);
    const std::optional<TransferFailure> failure =
        request.kind == InetRequest::Put ? put(*files, request) : remove(*files, request);
    m_connection.setListener(nullptr);
    if (m_sftp && m_requestSent)
        received({}); // SFTP's answers come as a whole, not line by line
    if (failure) {
        reportFailure(*failure);
        return;
    }
    if (!m_receiving)
        report(Inet::icReceivingResponse);
    report(Inet::icResponseReceived);
    report(Inet::icResponseCompleted);
}

std::optional<TransferFailure> InetWorker::remove(RemoteFiles& files, const InetRequest& request)
{
    m_command = "DELE ";
    return files.remove(request.remotePath.toUtf8());
}

std::optional<TransferFailure> InetWorker::put(RemoteFiles& files, const InetRequest& request)
{
    QFile local(request.localFile);
    if (!OpenRegularFile(local, QIODevice::ReadOnly))
        return TransferFailure{CURLE_READ_ERROR,
                               QStringLiteral("Cannot read the local file ") + request.localFile};
    const QByteArray content = local.readAll();
    m_command = "STOR ";
    return PageUpload(m_connection, files, request.remotePath.toUtf8(), content).run();
}

void InetWorker::reportFailure(const TransferFailure& failure)
{
    const SftpLogin& ssh = m_connection.ssh();
    if (ssh.refusedKey() && failure.code == CURLE_PEER_FAILED_VERIFICATION) {
        if (ssh.keyUnknown())
            emit hostKeyUnknown(*ssh.refusedKey());
        else if (ssh.keyChanged())
            emit hostKeyChanged(*ssh.refusedKey(), ssh.knownFingerprint());
    }
    emit stateReached(Inet::icError, failure.code, PrintableServerText(failure.info, m_password));
}

void InetWorker::socketOpening()
{
    // Sockets opened once the request is under way carry data, not a new connection.
    if (m_socketOpened || m_requesting)
        return;
    if (m_connection.isOpen())
        report(Inet::icResolvingHost); // the open connection was lost
    m_socketOpened = true;
    report(Inet::icHostResolved);
    report(Inet::icConnecting);
}

// A new connection counts as made when the server's greeting (or any first reply) comes.
void InetWorker::connected()
{
    if (m_socketOpened && !m_connectedReported) {
        m_connectedReported = true;
        report(Inet::icConnected);
    }
}

void InetWorker::requesting()
{
    connected();
    m_requesting = true;
    report(Inet::icRequesting);
    if (m_sftp)
        sent(m_command); // SFTP's requests are not seen line by line
}

void InetWorker::sent(const QByteArray& line)
{
    if (!m_requestSent && line.startsWith(m_command)) {
        m_requestSent = true;
        report(Inet::icRequestSent);
    }
}

void InetWorker::received(const QByteArray&)
{
    connected();
    if (m_requestSent && !m_receiving) {
        m_receiving = true;
        report(Inet::icReceivingResponse);
    }
}
