#include "components/PageUpload.h"

#include "components/Inet.h"
#include "components/InetWorker.h"

#include <curl/curl.h>

namespace {

// Enough for a server on the far side of a slow link to delete one file while the program ends.
constexpr int kCleanUpGraceSeconds = 3;

int replyCode(const QByteArray& reply)
{
    return reply.left(3).toInt();
}

FtpFailure mismatch(const QString& detail)
{
    return {Inet::kPageMismatch,
            QStringLiteral("The page on the server does not match the page uploaded: ") + detail};
}

} // namespace

PageUpload::PageUpload(FtpConnection& ftp, const InetRequest& request, const QByteArray& content)
    : m_ftp(ftp), m_request(request), m_content(content), m_path(request.remotePath.toUtf8())
{
}

QByteArray PageUpload::temporaryName(const QByteArray& path)
{
    return path + ".part";
}

std::optional<FtpFailure> PageUpload::run()
{
    const QByteArray temporary = temporaryName(m_path);
    std::optional<FtpFailure> failure = store(temporary);
    const bool stored = m_ftp.replyTo("STOR ").has_value();
    m_ftp.setListener(nullptr);
    if (!failure)
        failure = readBack(temporary);
    if (!failure)
        failure = rename(temporary);
    if (stored && (failure || m_storedDirectly))
        remove(temporary);
    return failure;
}

std::optional<FtpFailure> PageUpload::store(const QByteArray& path)
{
    FtpExchange exchange;
    exchange.path = path;
    exchange.upload = &m_content;
    return m_ftp.failure(m_ftp.perform(m_request, exchange));
}

std::optional<FtpFailure> PageUpload::readBack(const QByteArray& path)
{
    FtpExchange size;
    size.commands = {"*SIZE " + path};
    if (auto failure = m_ftp.failure(m_ftp.perform(m_request, size)))
        return failure;
    const QByteArray reply = m_ftp.replyTo("SIZE ").value_or(QByteArray());
    bool known = false;
    const qint64 bytes = reply.mid(4).trimmed().toLongLong(&known);
    if (replyCode(reply) == 213 && known) {
        if (bytes == m_content.size())
            return std::nullopt;
        return mismatch(QString::number(bytes) + QStringLiteral(" bytes on the server, ") +
                        QString::number(m_content.size()) + QStringLiteral(" uploaded"));
    }

    // No size from this server: compare the content itself.
    QByteArray onServer;
    FtpExchange content;
    content.path = path;
    content.download = &onServer;
    content.downloadLimit = m_content.size();
    const int result = m_ftp.perform(m_request, content);
    if (result != CURLE_OK && result != CURLE_WRITE_ERROR)
        return m_ftp.failure(result);
    if (onServer != m_content || result == CURLE_WRITE_ERROR)
        return mismatch(QStringLiteral("its content differs"));
    return std::nullopt;
}

std::optional<FtpFailure> PageUpload::rename(const QByteArray& temporary)
{
    FtpExchange exchange;
    exchange.commands = {"*RNFR " + temporary, "*RNTO " + m_path};
    if (auto failure = m_ftp.failure(m_ftp.perform(m_request, exchange)))
        return failure;
    const QByteArray from = m_ftp.replyTo("RNFR ").value_or(QByteArray());
    const QByteArray to = m_ftp.replyTo("RNTO ").value_or(QByteArray());
    if (replyCode(from) == 350 && to.startsWith('2'))
        return std::nullopt;
    if (replyCode(from) == 500 || replyCode(from) == 502) {
        m_storedDirectly = true;
        if (auto failure = store(m_path))
            return failure;
        return readBack(m_path);
    }
    const QByteArray& refusal = replyCode(from) == 350 ? to : from;
    return FtpFailure{replyCode(refusal), QString::fromUtf8(refusal)};
}

void PageUpload::remove(const QByteArray& temporary)
{
    FtpExchange exchange;
    exchange.commands = {"*DELE " + temporary};
    m_ftp.setGraceSeconds(kCleanUpGraceSeconds);
    m_ftp.perform(m_request, exchange);
    m_ftp.setGraceSeconds(0);
}
