#include "components/SftpFiles.h"

#include <curl/curl.h>

namespace {

// A path as curl's quote commands take it: in double quotes, with '"' and '\' escaped.
QByteArray quoted(const QByteArray& path)
{
    QByteArray escaped = path;
    escaped.replace('\\', "\\\\").replace('"', "\\\"");
    return '"' + escaped + '"';
}

} // namespace

std::optional<TransferFailure> SftpFiles::quote(const QByteArray& command)
{
    RemoteExchange exchange;
    exchange.commands = {command};
    std::optional<TransferFailure> failure =
        m_connection.failure(m_connection.perform(m_request, exchange));
    if (failure && failure->code == CURLE_QUOTE_ERROR)
        failure->refused = true;
    return failure;
}

std::optional<TransferFailure> SftpFiles::remove(const QByteArray& path)
{
    return quote("rm " + quoted(path));
}

RemoteFiles::Size SftpFiles::size(const QByteArray& path)
{
    RemoteExchange exchange;
    exchange.path = path;
    Size size;
    size.failure = m_connection.failure(m_connection.perform(m_request, exchange));
    if (!size.failure)
        size.bytes = m_connection.remoteSize();
    return size;
}

std::optional<TransferFailure> SftpFiles::rename(const QByteArray& from, const QByteArray& to)
{
    return quote("rename " + quoted(from) + ' ' + quoted(to));
}
