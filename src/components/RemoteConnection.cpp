#include "components/RemoteConnection.h"

#include "components/ConnectionCallbacks.h"
#include "components/InetRequest.h"
#include "components/TrustedAuthorities.h"

#include <QUrl>

#include <curl/curl.h>

#include <memory>

namespace {

struct SlistFree
{
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using Slist = std::unique_ptr<curl_slist, SlistFree>;

// A remote path as it goes into the URL: percent-encoded, and a leading "/" kept as "%2F" so
// curl sends it to the server instead of taking it as the URL's separator.
QByteArray urlPath(const QByteArray& path)
{
    const QString text = QString::fromUtf8(path);
    if (text.startsWith(QLatin1Char('/')))
        return "%2F" + QUrl::toPercentEncoding(text.mid(1), "/");
    return QUrl::toPercentEncoding(text, "/");
}

// The exchange's raw commands as curl takes them; nothing when there are none.
std::optional<Slist> commandList(const QList<QByteArray>& commands)
{
    Slist list;
    for (const QByteArray& command : commands) {
        curl_slist* longer = curl_slist_append(list.get(), command.constData());
        if (!longer)
            return std::nullopt;
        list.release();
        list.reset(longer);
    }
    return list;
}

} // namespace

RemoteConnection::~RemoteConnection()
{
    close();
}

void RemoteConnection::close()
{
    if (m_curl)
        curl_easy_cleanup(m_curl);
    m_curl = nullptr;
    m_open = false;
}

int RemoteConnection::perform(const InetRequest& request, const RemoteExchange& exchange)
{
    if (!request.sftp)
        return performOnce(request, exchange, 0);
    if (m_open)
        return performOnce(request, exchange, m_sshMethods);
    int result = CURLE_LOGIN_DENIED;
    for (const long methods : SftpLogin::attempts(request)) {
        result = performOnce(request, exchange, methods);
        m_sshMethods = methods;
        if (result != CURLE_LOGIN_DENIED || aborting())
            break;
    }
    return result;
}

int RemoteConnection::performOnce(const InetRequest& request, const RemoteExchange& exchange,
                                  long sshMethods)
{
    if (!prepareHandle())
        return CURLE_FAILED_INIT;
    std::optional<Slist> quote = commandList(exchange.commands);
    if (!quote)
        return CURLE_OUT_OF_MEMORY;

    const long timeout =
        m_abort.load() && m_graceSeconds > 0 ? m_graceSeconds : request.timeoutSeconds;
    setConnection(request, timeout);
    setCallbacks();
    setSecurity(request, sshMethods);
    const QByteArray address = url(request, exchange.path);
    curl_easy_setopt(m_curl, CURLOPT_URL, address.constData());
    setTransfer(exchange, quote->get());

    m_dialogue.clear();
    m_lastReply.clear();
    m_waitLimitMs = timeout * 1000;
    m_sinceActivity.start();
    m_bytesMoved = 0;
    m_waitedTooLong = false;
    const CURLcode result = curl_easy_perform(m_curl);
    curl_socket_t socket = CURL_SOCKET_BAD;
    curl_easy_getinfo(m_curl, CURLINFO_ACTIVESOCKET, &socket);
    m_open = socket != CURL_SOCKET_BAD;
    return m_waitedTooLong ? CURLE_OPERATION_TIMEDOUT : result;
}

bool RemoteConnection::prepareHandle()
{
    if (!m_curl)
        m_curl = curl_easy_init();
    else
        curl_easy_reset(m_curl); // keeps the open connection and the TLS session
    return m_curl != nullptr;
}

// The login, the proxy and the waits: each reply (not the login as a whole) may take
// `timeout` seconds, and so may the connect and a stalled transfer, which the progress
// callback watches.
void RemoteConnection::setConnection(const InetRequest& request, long timeout)
{
    m_errorText[0] = '\0';
    curl_easy_setopt(m_curl, CURLOPT_ERRORBUFFER, m_errorText);
    curl_easy_setopt(m_curl, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(m_curl, CURLOPT_USERNAME, request.userName.toUtf8().constData());
    curl_easy_setopt(m_curl, CURLOPT_PASSWORD, request.password.toUtf8().constData());
    curl_easy_setopt(m_curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(m_curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, timeout);
    curl_easy_setopt(m_curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(m_curl, CURLOPT_LOW_SPEED_TIME, timeout);
    curl_easy_setopt(m_curl, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
    if (!request.proxy.isEmpty()) {
        curl_easy_setopt(m_curl, CURLOPT_PROXY, ("http://" + request.proxy.toUtf8()).constData());
        curl_easy_setopt(m_curl, CURLOPT_HTTPPROXYTUNNEL, 1L);
    }
}

void RemoteConnection::setCallbacks()
{
    curl_easy_setopt(m_curl, CURLOPT_OPENSOCKETFUNCTION, &ConnectionCallbacks::openSocket);
    curl_easy_setopt(m_curl, CURLOPT_OPENSOCKETDATA, this);
    curl_easy_setopt(m_curl, CURLOPT_PREREQFUNCTION, &ConnectionCallbacks::prerequest);
    curl_easy_setopt(m_curl, CURLOPT_PREREQDATA, this);
    curl_easy_setopt(m_curl, CURLOPT_DEBUGFUNCTION, &ConnectionCallbacks::debug);
    curl_easy_setopt(m_curl, CURLOPT_DEBUGDATA, this);
    curl_easy_setopt(m_curl, CURLOPT_VERBOSE, 1L); // feeds the debug callback only
    curl_easy_setopt(m_curl, CURLOPT_XFERINFOFUNCTION, &ConnectionCallbacks::progress);
    curl_easy_setopt(m_curl, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(m_curl, CURLOPT_NOPROGRESS, 0L);
}

void RemoteConnection::setSecurity(const InetRequest& request, long sshMethods)
{
    if (request.sftp)
        m_ssh.apply(m_curl, request, sshMethods, !m_open);
    if (!request.tls)
        return;
    // TLS for the login and for every data connection, or nothing at all.
    curl_easy_setopt(m_curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
    curl_easy_setopt(m_curl, CURLOPT_FTPSSLAUTH, static_cast<long>(CURLFTPAUTH_TLS));
    TrustAuthorities(m_curl, request.trustedAuthorities);
}

void RemoteConnection::setTransfer(const RemoteExchange& exchange, curl_slist* quote)
{
    if (quote)
        curl_easy_setopt(m_curl, CURLOPT_QUOTE, quote);
    m_upload = exchange.upload;
    m_uploaded = 0;
    m_readStarted = false;
    m_download = exchange.download;
    m_downloadLimit = exchange.downloadLimit;
    m_downloadCut = false;
    if (!exchange.upload && !exchange.download) {
        curl_easy_setopt(m_curl, CURLOPT_NOBODY, 1L);
    } else if (exchange.upload) {
        curl_easy_setopt(m_curl, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(m_curl, CURLOPT_INFILESIZE_LARGE,
                         static_cast<curl_off_t>(exchange.upload->size()));
        curl_easy_setopt(m_curl, CURLOPT_READFUNCTION, &ConnectionCallbacks::read);
        curl_easy_setopt(m_curl, CURLOPT_READDATA, this);
    } else {
        curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, &ConnectionCallbacks::write);
        curl_easy_setopt(m_curl, CURLOPT_WRITEDATA, this);
    }
}

QByteArray RemoteConnection::url(const InetRequest& request, const QByteArray& path) const
{
    if (!request.sftp)
        return request.server.toUtf8() + '/' + urlPath(path);
    // curl takes an SFTP URL's path as absolute, and one under "/~/" as below the login
    // directory.
    if (path.startsWith('/'))
        return request.server.toUtf8() + QUrl::toPercentEncoding(QString::fromUtf8(path), "/");
    return request.server.toUtf8() + "/~/" + QUrl::toPercentEncoding(QString::fromUtf8(path), "/");
}

std::optional<qint64> RemoteConnection::remoteSize() const
{
    curl_off_t size = -1;
    if (m_curl)
        curl_easy_getinfo(m_curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &size);
    if (size < 0)
        return std::nullopt;
    return static_cast<qint64>(size);
}

std::optional<QByteArray> RemoteConnection::replyTo(const QByteArray& command) const
{
    for (auto exchange = m_dialogue.crbegin(); exchange != m_dialogue.crend(); ++exchange) {
        if (exchange->first.startsWith(command))
            return exchange->second;
    }
    return std::nullopt;
}

std::optional<TransferFailure> RemoteConnection::failure(int result) const
{
    const auto code = static_cast<CURLcode>(result);
    if (code == CURLE_OK)
        return std::nullopt;
    if (code == CURLE_USE_SSL_FAILED)
        return TransferFailure{result, QStringLiteral("The server refused FTP over TLS (AUTH TLS); "
                                                      "the login was not sent")};
    if (code == CURLE_PEER_FAILED_VERIFICATION && m_ssh.refusedKey())
        return TransferFailure{result, m_ssh.refusal()};
    if (m_waitedTooLong)
        return TransferFailure{result,
                               QStringLiteral("Timeout was reached: the server did not answer "
                                              "within the request time-out")};
    long reply = 0;
    if (m_curl)
        curl_easy_getinfo(m_curl, CURLINFO_RESPONSE_CODE, &reply);
    if (reply >= 400 && !m_lastReply.isEmpty())
        return TransferFailure{static_cast<qint32>(reply), QString::fromUtf8(m_lastReply),
                               reply >= 500};
    QString text = QString::fromUtf8(curl_easy_strerror(code));
    if (m_errorText[0] != '\0' && text != QString::fromUtf8(m_errorText))
        text += QStringLiteral(": ") + QString::fromUtf8(m_errorText);
    if (const QString hint = m_ssh.loginHint(); code == CURLE_LOGIN_DENIED && !hint.isEmpty())
        text += QStringLiteral("; ") + hint;
    return TransferFailure{result, text};
}
