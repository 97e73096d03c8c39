#include "components/Inet.h"

#include "components/FtpTarget.h"
#include "components/InetWorker.h"

#include <QFileInfo>
#include <QThread>

#include <curl/curl.h>

namespace {

void initialiseCurlOnce()
{
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    Q_UNUSED(initialised);
}

const QString kTrustedAuthorities = QStringLiteral("ftp-ca.pem");
const QLatin1String kProxyScheme("http://");

// A line break would end the command it is part of and start one of the setting's choosing.
bool unsafe(const QString& text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')) ||
           text.contains(QChar(0));
}

QString unsafeSetting(const char* setting)
{
    return QLatin1String(setting) +
           QStringLiteral(" holds a carriage return, line feed or NUL character; nothing was sent");
}

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

    configure(request, unsafe(operation));
    return std::nullopt;
}

void Inet::configure(InetRequest& request, bool unsafePath) const
{
    request.userName = UserName;
    request.password = Password;
    request.timeoutSeconds = RequestTimeout > 0 ? RequestTimeout : kDefaultRequestTimeout;
    QString proxy = AccessType == icNamedProxy ? Proxy.trimmed() : QString();
    if (proxy.startsWith(kProxyScheme, Qt::CaseInsensitive))
        proxy = proxy.mid(kProxyScheme.size());
    if (proxy.endsWith(QLatin1Char('/')))
        proxy.chop(1);
    request.proxy = proxy;

    const FtpTarget target(URL.trimmed());
    request.server = target.server();
    request.tls = target.security() != FtpTarget::Plain;
    const QFileInfo authorities(kTrustedAuthorities);
    if (request.tls && authorities.exists())
        request.caFile = authorities.absoluteFilePath();

    request.refusalCode = kInvalidOperation;
    if (unsafe(URL))
        request.refusal = unsafeSetting("The host (Host)");
    else if (!target.problem().isEmpty())
        request.refusal = target.problem();
    else if (unsafePath)
        request.refusal = unsafeSetting("The target directory (Dir)");
    else if (unsafe(UserName))
        request.refusal = unsafeSetting("The login (User)");
    else if (unsafe(Password))
        request.refusal = unsafeSetting("The password (Pword)");
    else if (unsafe(proxy))
        request.refusal = unsafeSetting("The proxy (Proxy)");
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
