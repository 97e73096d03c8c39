#include "components/FtpConnection.h"

#include "components/InetWorker.h"

#include <QUrl>

#include <curl/curl.h>

#include <cstring>
#include <memory>

namespace {

struct SlistFree
{
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// A remote path as it goes into the URL: percent-encoded, and a leading "/" kept as "%2F" so
// curl sends it to the server instead of taking it as the URL's separator.
QByteArray urlPath(const QByteArray& path)
{
    const QString text = QString::fromUtf8(path);
    if (text.startsWith(QLatin1Char('/')))
        return "%2F" + QUrl::toPercentEncoding(text.mid(1), "/");
    return QUrl::toPercentEncoding(text, "/");
}

} // namespace

// curl's callbacks, which see the connection's private progress.
struct FtpCallbacks
{
    static curl_socket_t openSocket(void* clientp, curlsocktype, curl_sockaddr* address)
    {
        auto* self = static_cast<FtpConnection*>(clientp);
        if (self->m_listener)
            self->m_listener->socketOpening();
        return ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
    }

    static int prerequest(void* clientp, char*, char*, int, int)
    {
        auto* self = static_cast<FtpConnection*>(clientp);
        if (self->m_listener)
            self->m_listener->requesting();
        return CURL_PREREQFUNC_OK;
    }

    static int debug(CURL*, curl_infotype type, char* data, size_t size, void* clientp)
    {
        auto* self = static_cast<FtpConnection*>(clientp);
        if (type != CURLINFO_HEADER_OUT && type != CURLINFO_HEADER_IN)
            return 0;
        const QByteArray line = QByteArray(data, static_cast<qsizetype>(size)).trimmed();
        if (type == CURLINFO_HEADER_OUT) {
            self->m_dialogue.append({line, QByteArray()});
            if (self->m_listener)
                self->m_listener->sent(line);
            return 0;
        }
        self->m_lastReply = line;
        if (!self->m_dialogue.isEmpty() && self->m_dialogue.last().second.isEmpty())
            self->m_dialogue.last().second = line;
        if (self->m_listener)
            self->m_listener->received(line);
        return 0;
    }

    static size_t read(char* buffer, size_t size, size_t count, void* clientp)
    {
        auto* self = static_cast<FtpConnection*>(clientp);
        const qsizetype left = self->m_upload->size() - self->m_uploaded;
        const qsizetype chunk = std::min(left, static_cast<qsizetype>(size * count));
        std::memcpy(buffer, self->m_upload->constData() + self->m_uploaded,
                    static_cast<size_t>(chunk));
        self->m_uploaded += chunk;
        return static_cast<size_t>(chunk);
    }

    static size_t write(char* data, size_t size, size_t count, void* clientp)
    {
        auto* self = static_cast<FtpConnection*>(clientp);
        const auto bytes = static_cast<qsizetype>(size * count);
        if (self->m_download->size() + bytes > self->m_downloadLimit)
            return 0;
        self->m_download->append(data, bytes);
        return size * count;
    }

    static int progress(void* clientp, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
    {
        return static_cast<FtpConnection*>(clientp)->aborting() ? 1 : 0;
    }
};

FtpConnection::~FtpConnection()
{
    close();
}

void FtpConnection::close()
{
    if (m_curl)
        curl_easy_cleanup(m_curl);
    m_curl = nullptr;
    m_open = false;
}

int FtpConnection::perform(const InetRequest& request, const FtpExchange& exchange)
{
    if (!m_curl)
        m_curl = curl_easy_init();
    else
        curl_easy_reset(m_curl); // keeps the open connection and the TLS session
    if (!m_curl)
        return CURLE_FAILED_INIT;

    curl_slist* commands = nullptr;
    for (const QByteArray& command : exchange.commands) {
        curl_slist* longer = curl_slist_append(commands, command.constData());
        if (!longer) {
            curl_slist_free_all(commands);
            return CURLE_OUT_OF_MEMORY;
        }
        commands = longer;
    }
    const std::unique_ptr<curl_slist, SlistFree> quote(commands);

    const long timeout =
        m_abort.load() && m_graceSeconds > 0 ? m_graceSeconds : request.timeoutSeconds;
    const QByteArray url = request.server.toUtf8() + '/' + urlPath(exchange.path);
    m_errorText[0] = '\0';
    curl_easy_setopt(m_curl, CURLOPT_ERRORBUFFER, m_errorText);
    curl_easy_setopt(m_curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(m_curl, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(m_curl, CURLOPT_USERNAME, request.userName.toUtf8().constData());
    curl_easy_setopt(m_curl, CURLOPT_PASSWORD, request.password.toUtf8().constData());
    curl_easy_setopt(m_curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(m_curl, CURLOPT_CONNECTTIMEOUT, timeout);
    curl_easy_setopt(m_curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, timeout);
    curl_easy_setopt(m_curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(m_curl, CURLOPT_LOW_SPEED_TIME, timeout);
    curl_easy_setopt(m_curl, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
    curl_easy_setopt(m_curl, CURLOPT_OPENSOCKETFUNCTION, &FtpCallbacks::openSocket);
    curl_easy_setopt(m_curl, CURLOPT_OPENSOCKETDATA, this);
    curl_easy_setopt(m_curl, CURLOPT_PREREQFUNCTION, &FtpCallbacks::prerequest);
    curl_easy_setopt(m_curl, CURLOPT_PREREQDATA, this);
    curl_easy_setopt(m_curl, CURLOPT_DEBUGFUNCTION, &FtpCallbacks::debug);
    curl_easy_setopt(m_curl, CURLOPT_DEBUGDATA, this);
    curl_easy_setopt(m_curl, CURLOPT_VERBOSE, 1L); // feeds the debug callback only
    curl_easy_setopt(m_curl, CURLOPT_XFERINFOFUNCTION, &FtpCallbacks::progress);
    curl_easy_setopt(m_curl, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(m_curl, CURLOPT_NOPROGRESS, 0L);
    if (request.tls) {
        // TLS for the login and for every data connection, or nothing at all.
        curl_easy_setopt(m_curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
        curl_easy_setopt(m_curl, CURLOPT_FTPSSLAUTH, static_cast<long>(CURLFTPAUTH_TLS));
        // In addition to the system's store, which stays in place as the CA path.
        if (!request.caFile.isEmpty())
            curl_easy_setopt(m_curl, CURLOPT_CAINFO, request.caFile.toUtf8().constData());
    }
    if (!request.proxy.isEmpty()) {
        curl_easy_setopt(m_curl, CURLOPT_PROXY, ("http://" + request.proxy.toUtf8()).constData());
        curl_easy_setopt(m_curl, CURLOPT_HTTPPROXYTUNNEL, 1L);
    }
    if (quote)
        curl_easy_setopt(m_curl, CURLOPT_QUOTE, quote.get());
    m_upload = exchange.upload;
    m_uploaded = 0;
    m_download = exchange.download;
    m_downloadLimit = exchange.downloadLimit;
    if (exchange.path.isEmpty()) {
        curl_easy_setopt(m_curl, CURLOPT_NOBODY, 1L);
    } else if (exchange.upload) {
        curl_easy_setopt(m_curl, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(m_curl, CURLOPT_INFILESIZE_LARGE,
                         static_cast<curl_off_t>(exchange.upload->size()));
        curl_easy_setopt(m_curl, CURLOPT_READFUNCTION, &FtpCallbacks::read);
        curl_easy_setopt(m_curl, CURLOPT_READDATA, this);
    } else {
        curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, &FtpCallbacks::write);
        curl_easy_setopt(m_curl, CURLOPT_WRITEDATA, this);
    }

    m_dialogue.clear();
    m_lastReply.clear();
    const CURLcode result = curl_easy_perform(m_curl);
    curl_socket_t socket = CURL_SOCKET_BAD;
    curl_easy_getinfo(m_curl, CURLINFO_ACTIVESOCKET, &socket);
    m_open = socket != CURL_SOCKET_BAD;
    return result;
}

std::optional<QByteArray> FtpConnection::replyTo(const QByteArray& command) const
{
    for (auto exchange = m_dialogue.crbegin(); exchange != m_dialogue.crend(); ++exchange) {
        if (exchange->first.startsWith(command))
            return exchange->second;
    }
    return std::nullopt;
}

std::optional<FtpFailure> FtpConnection::failure(int result) const
{
    const auto code = static_cast<CURLcode>(result);
    if (code == CURLE_OK)
        return std::nullopt;
    if (code == CURLE_USE_SSL_FAILED)
        return FtpFailure{result, QStringLiteral("The server refused FTP over TLS (AUTH TLS); "
                                                 "the login was not sent")};
    long reply = 0;
    if (m_curl)
        curl_easy_getinfo(m_curl, CURLINFO_RESPONSE_CODE, &reply);
    if (reply >= 400 && !m_lastReply.isEmpty())
        return FtpFailure{static_cast<qint32>(reply), QString::fromUtf8(m_lastReply)};
    QString text = QString::fromUtf8(curl_easy_strerror(code));
    if (m_errorText[0] != '\0' && text != QString::fromUtf8(m_errorText))
        text += QStringLiteral(": ") + QString::fromUtf8(m_errorText);
    return FtpFailure{result, text};
}
