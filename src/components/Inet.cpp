#include "components/Inet.h"

#include "components/InetWorker.h"

#include <QThread>
#include <QUrl>

#include <curl/curl.h>

namespace {

void initialiseCurlOnce()
{
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    Q_UNUSED(initialised);
}

constexpr int kFtpPort = 21;

} // namespace

Inet::Inet(QObject* parent) : QObject(parent)
{
    initialiseCurlOnce();
    m_worker = new InetWorker(m_abort);
    m_worker->moveToThread(&m_thread);
    connect(m_worker, &InetWorker::stateReached, this, &Inet::onStateReached);
    connect(m_worker, &InetWorker::operationEnded, this, &Inet::onOperationEnded);
    m_thread.start();
}

Inet::~Inet()
{
    m_abort = true;
    // The worker's last act on its thread is to close its connection.
    QMetaObject::invokeMethod(
        m_worker, [worker = m_worker] { delete worker; }, Qt::QueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

std::optional<Inet::ExecuteError> Inet::Execute(const QString& operation)
{
    if (m_executing)
        return ExecuteError{kStillExecuting, QStringLiteral("Still executing last request")};
    InetRequest request;
    if (const auto refused = parse(operation, request))
        return refused;

    m_executing = true;
    QMetaObject::invokeMethod(
        m_worker, [worker = m_worker, request] { worker->run(request); }, Qt::QueuedConnection);
    return std::nullopt;
}

std::optional<Inet::ExecuteError> Inet::parse(const QString& operation, InetRequest& request) const
{
    const QString text = operation.trimmed();
    const qsizetype blank = text.indexOf(QLatin1Char(' '));
    const QString verb = (blank < 0 ? text : text.left(blank)).toUpper();
    const QString rest = blank < 0 ? QString() : text.mid(blank + 1).trimmed();
    const auto invalid = [&](const QString& why) { return ExecuteError{kInvalidOperation, why}; };

    if (verb == QLatin1String("CLOSE") && rest.isEmpty()) {
        request.kind = InetRequest::Close;
        return std::nullopt;
    }
    if (verb == QLatin1String("QUIT") && rest.isEmpty()) {
        request.kind = InetRequest::Quit;
        return std::nullopt;
    }
    if (verb == QLatin1String("DELETE") && !rest.isEmpty()) {
        request.kind = InetRequest::Delete;
        request.remotePath = rest;
    } else if (verb == QLatin1String("PUT") && rest.contains(QLatin1Char(' '))) {
        const qsizetype split = rest.indexOf(QLatin1Char(' '));
        request.kind = InetRequest::Put;
        request.localFile = rest.left(split);
        request.remotePath = rest.mid(split + 1).trimmed();
    } else {
        return invalid(QStringLiteral("Unknown operation: ") + text);
    }

    const QUrl url(URL.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.scheme().compare(QLatin1String("ftp"), Qt::CaseInsensitive) != 0 ||
        url.host().isEmpty())
        return invalid(QStringLiteral("Url is malformed: ") + URL);
    QUrl server;
    server.setScheme(QStringLiteral("ftp"));
    server.setHost(url.host());
    server.setPort(url.port(kFtpPort));
    request.server = server.toString(QUrl::FullyEncoded);
    request.userName = UserName;
    request.password = Password;
    request.timeoutSeconds = RequestTimeout > 0 ? RequestTimeout : kDefaultRequestTimeout;
    request.proxy = AccessType == icNamedProxy ? Proxy.trimmed() : QString();
    return std::nullopt;
}

void Inet::onStateReached(qint16 state, qint32 responseCode, const QString& responseInfo)
{
    if (state == icError) {
        m_responseCode = responseCode;
        m_responseInfo = responseInfo;
    }
    emit StateChanged(state);
}

void Inet::onOperationEnded()
{
    m_executing = false;
    emit ExecutionEnded();
}
