#include "components/RemoteFiles.h"

#include "components/FtpFiles.h"
#include "components/InetRequest.h"
#include "components/SftpFiles.h"

#include <curl/curl.h>

std::unique_ptr<RemoteFiles> RemoteFiles::of(RemoteConnection& connection,
                                             const InetRequest& request)
{
    if (request.sftp)
        return std::make_unique<SftpFiles>(connection, request);
    return std::make_unique<FtpFiles>(connection, request);
}

RemoteFiles::Stored RemoteFiles::store(const QByteArray& path, const QByteArray& content)
{
    RemoteExchange exchange;
    exchange.path = path;
    exchange.upload = &content;
    Stored stored;
    stored.failure = m_connection.failure(m_connection.perform(m_request, exchange));
    stored.begun = !stored.failure || m_connection.uploadBegun() || storeBegun();
    // curl succeeds only once the server has confirmed the transfer (FTP's 226).
    stored.whole = !stored.failure && m_connection.uploadedWhole();
    return stored;
}

std::optional<TransferFailure> RemoteFiles::fetch(const QByteArray& path, qsizetype limit,
                                                  QByteArray& content)
{
    RemoteExchange exchange;
    exchange.path = path;
    exchange.download = &content;
    exchange.downloadLimit = limit + 1;
    const int result = m_connection.perform(m_request, exchange);
    if (result == CURLE_WRITE_ERROR && m_connection.downloadCutShort())
        return std::nullopt;
    return m_connection.failure(result);
}
