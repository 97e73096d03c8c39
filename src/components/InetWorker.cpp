#include "components/InetWorker.h"

#include "components/Inet.h"

#include <QFile>
#include <QUrl>

#include <curl/curl.h>

#include <cstdio>
#include <memory>

namespace {

struct FileCloser
{
    void operator()(FILE* file) const { std::fclose(file); }
};

struct SlistFree
{
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// A remote path as it goes into the URL: percent-encoded, and a leading "/" kept as "%2F" so
// curl sends it to the server instead of taking it as the URL's separator.
QByteArray urlPath(const QString& path)
{
    if (path.startsWith(QLatin1Char('/')))
        return "%2F" + QUrl::toPercentEncoding(path.mid(1), "/");
    return QUrl::toPercentEncoding(path, "/");
}

} // namespace

// curl's callbacks, which see the worker's private progress.
struct InetCallbacks
{
    static curl_socket_t openSocket(void* clientp, curlsocktype, curl_sockaddr* address)
    {
        auto* self = static_cast<InetWorker*>(clientp);
        // Sockets opened once the request is under way carry data, not a new connection.
        if (!self->m_socketOpened && !self->m_requesting) {
            if (self->m_connectionOpen)
                self->report(Inet::icResolvingHost); // the open connection was lost
            self->m_socketOpened = true;
            self->report(Inet::icHostResolved);
            self->report(Inet::icConnecting);
        }
        return ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
    }

    // A new connection counts as made when the server's greeting (or any first reply) comes.
    static void connected(InetWorker* self)
    {
        if (self->m_socketOpened && !self->m_connectedReported) {
            self->m_connectedReported = true;
            self->report(Inet::icConnected);
        }
    }

    static int prerequest(void* clientp, char*, char*, int, int)
    {
        auto* self = static_cast<InetWorker*>(clientp);
        connected(self);
        self->m_requesting = true;
        self->report(Inet::icRequesting);
        return CURL_PREREQFUNC_OK;
    }

    static int debug(CURL*, curl_infotype type, char* data, size_t size, void* clientp)
    {
        auto* self = static_cast<InetWorker*>(clientp);
        const QByteArray line = QByteArray(data, static_cast<qsizetype>(size)).trimmed();
        if (type == CURLINFO_HEADER_OUT && !self->m_requestSent &&
            line.startsWith(self->m_command)) {
            self->m_requestSent = true;
            self->report(Inet::icRequestSent);
        } else if (type == CURLINFO_HEADER_IN) {
            connected(self);
            self->m_lastReply = line;
            if (self->m_requestSent && !self->m_receiving) {
                self->m_receiving = true;
                self->m_commandReply = line;
                self->report(Inet::icReceivingResponse);
            }
        }
        return 0;
    }

    static int progress(void* clientp, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
    {
        return static_cast<InetWorker*>(clientp)->m_abort.load() ? 1 : 0;
    }
};

InetWorker::InetWorker(const std::atomic_bool& abort) : m_abort(abort)
{
}

InetWorker::~InetWorker()
{
    closeConnection();
}

void InetWorker::run(const InetRequest& request)
{
    m_password = request.password;
    switch (request.kind) {
    case InetRequest::Delete:
    case InetRequest::Put:
        transfer(request);
        break;
    case InetRequest::Close:
        disconnectFromHost();
        break;
    case InetRequest::Quit:
        if (m_connectionOpen) {
            disconnectFromHost();
        } else {
            closeConnection(); // a handle left by a failed transfer
            report(Inet::icResponseCompleted);
        }
        break;
    }
    emit operationEnded();
}

void InetWorker::disconnectFromHost()
{
    report(Inet::icDisconnecting);
    closeConnection();
    report(Inet::icDisconnected);
}

// Sends QUIT on a connection that is still open, then lets it go.
void InetWorker::closeConnection()
{
    if (m_curl)
        curl_easy_cleanup(m_curl);
    m_curl = nullptr;
    m_connectionOpen = false;
}

bool InetWorker::prepare(const InetRequest& request, const QByteArray& url)
{
    if (!m_curl)
        m_curl = curl_easy_init();
    else
        curl_easy_reset(m_curl); // keeps the open connection
    if (!m_curl)
        return false;
    const long timeout = request.timeoutSeconds;
    curl_easy_setopt(m_curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(m_curl, CURLOPT_USERNAME, request.userName.toUtf8().constData());
    curl_easy_setopt(m_curl, CURLOPT_PASSWORD, request.password.toUtf8().constData());
    curl_easy_setopt(m_curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(m_curl, CURLOPT_CONNECTTIMEOUT, timeout);
    curl_easy_setopt(m_curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, timeout);
    curl_easy_setopt(m_curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(m_curl, CURLOPT_LOW_SPEED_TIME, timeout);
    curl_easy_setopt(m_curl, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
    curl_easy_setopt(m_curl, CURLOPT_OPENSOCKETFUNCTION, &InetCallbacks::openSocket);
    curl_easy_setopt(m_curl, CURLOPT_OPENSOCKETDATA, this);
    curl_easy_setopt(m_curl, CURLOPT_PREREQFUNCTION, &InetCallbacks::prerequest);
    curl_easy_setopt(m_curl, CURLOPT_PREREQDATA, this);
    curl_easy_setopt(m_curl, CURLOPT_DEBUGFUNCTION, &InetCallbacks::debug);
    curl_easy_setopt(m_curl, CURLOPT_DEBUGDATA, this);
    curl_easy_setopt(m_curl, CURLOPT_VERBOSE, 1L); // feeds the debug callback only
    curl_easy_setopt(m_curl, CURLOPT_XFERINFOFUNCTION, &InetCallbacks::progress);
    curl_easy_setopt(m_curl, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(m_curl, CURLOPT_NOPROGRESS, 0L);
    if (!request.proxy.isEmpty()) {
        curl_easy_setopt(m_curl, CURLOPT_PROXY, ("http://" + request.proxy.toUtf8()).constData());
        curl_easy_setopt(m_curl, CURLOPT_HTTPPROXYTUNNEL, 1L);
    }
    return true;
}

void InetWorker::transfer(const InetRequest& request)
{
    m_socketOpened = m_connectedReported = m_requesting = m_requestSent = m_receiving = false;
    m_lastReply.clear();
    m_commandReply.clear();
    if (!m_connectionOpen)
        report(Inet::icResolvingHost);

    const bool put = request.kind == InetRequest::Put;
    const QByteArray remote = request.remotePath.toUtf8();
    const QByteArray url =
        request.server.toUtf8() + '/' + (put ? urlPath(request.remotePath) : QByteArray());
    std::unique_ptr<curl_slist, SlistFree> quote;
    std::unique_ptr<FILE, FileCloser> local;
    CURLcode result = CURLE_FAILED_INIT;
    if (prepare(request, url)) {
        if (put) {
            m_command = "STOR ";
            local.reset(std::fopen(QFile::encodeName(request.localFile).constData(), "rb"));
            if (!local) {
                result = CURLE_READ_ERROR;
            } else {
                curl_easy_setopt(m_curl, CURLOPT_UPLOAD, 1L);
                curl_easy_setopt(m_curl, CURLOPT_READDATA, local.get());
            }
        } else {
            // "*": a refused DELE is not a failure of the whole transfer, so curl keeps the
            // connection for the PUT that follows; its reply is examined below.
            m_command = "DELE ";
            quote.reset(curl_slist_append(nullptr, ("*DELE " + remote).constData()));
            curl_easy_setopt(m_curl, CURLOPT_QUOTE, quote.get());
            curl_easy_setopt(m_curl, CURLOPT_NOBODY, 1L);
        }
        if (!put || local)
            result = curl_easy_perform(m_curl);
    }

    curl_socket_t socket = CURL_SOCKET_BAD;
    if (m_curl)
        curl_easy_getinfo(m_curl, CURLINFO_ACTIVESOCKET, &socket);
    m_connectionOpen = socket != CURL_SOCKET_BAD;

    const int commandReplyCode = m_commandReply.left(3).toInt();
    if (result == CURLE_OK && commandReplyCode >= 400) {
        emit stateReached(Inet::icError, commandReplyCode,
                          scrubbed(QString::fromUtf8(m_commandReply)));
        return;
    }
    if (result == CURLE_OK) {
        if (!m_receiving)
            report(Inet::icReceivingResponse);
        report(Inet::icResponseReceived);
        report(Inet::icResponseCompleted);
        return;
    }
    long reply = 0;
    if (m_curl)
        curl_easy_getinfo(m_curl, CURLINFO_RESPONSE_CODE, &reply);
    qint32 code = result;
    QString info = QString::fromUtf8(curl_easy_strerror(result));
    if (reply >= 400 && !m_lastReply.isEmpty()) {
        code = static_cast<qint32>(reply);
        info = QString::fromUtf8(m_lastReply);
    } else if (result == CURLE_READ_ERROR && !local) {
        info = QStringLiteral("Cannot read the local file ") + request.localFile;
    }
    emit stateReached(Inet::icError, code, scrubbed(info));
}

QString InetWorker::scrubbed(QString text) const
{
    if (!m_password.isEmpty())
        text.replace(m_password, QStringLiteral("********"));
    return text;
}
