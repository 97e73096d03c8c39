#include "components/Inet.h"

#include "components/InetWorker.h"
#include "components/RemotePath.h"
#include "components/RemoteServer.h"
#include "platform/CoreDumps.h"
#include "platform/RegularFile.h"

#include <QDir>
#include <QFile>
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
const QString kKnownHosts = QStringLiteral("known_hosts");
const QLatin1String kProxyScheme("http://");

// A line break would end the command it is part of and start one of the setting's choosing;
// any other control character is refused by some commands and not others, so that a DELE
// could go out where the STOR after it would not.
bool holdsControl(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return true;
    }
    return false;
}

// Why `value` cannot be sent as the setting `named`; empty when it can.
QString settingProblem(const char* named, const QString& value)
{
    if (holdsControl(value))
        return QLatin1String(named) +
               QStringLiteral(" holds a control character (such as a line break, tab or "
                              "escape); nothing was sent");
    if (value.toUtf8().size() > Inet::kLongestSetting)
        return QLatin1String(named) + QStringLiteral(" is too long (more than ") +
               QString::number(Inet::kLongestSetting) +
               QStringLiteral(" bytes) for an FTP command; nothing was sent");
    return {};
}

// The PEM authorities in `name`; a FIFO, device or socket there is never opened for reading,
// so it cannot hold the transfer up, and is reported.
QByteArray trustedAuthorities(const QString& name, QString& problem)
{
    QFile file(name);
    if (!QFileInfo::exists(name))
        return {};
    if (!OpenRegularFile(file, QIODevice::ReadOnly)) {
        problem = QFileInfo(name).absoluteFilePath() +
                  QStringLiteral(" is not a regular file that can be read; nothing was sent");
        return {};
    }
    return file.readAll();
}

// The user's key that SSH offers when no agent runs: ed25519 first, as ssh does.
QString privateKeyFile()
{
    for (const char* name : {"/.ssh/id_ed25519", "/.ssh/id_rsa"}) {
        const QString path = QDir::homePath() + QLatin1String(name);
        QFile key(path);
        if (OpenRegularFile(key, QIODevice::ReadOnly))
            return path;
    }
    return {};
}

} // namespace

Inet::Inet(QObject* parent) : FileTransfer(parent)
{
    initialiseCurlOnce();
    // The password lives in this process from now on: no core dump may carry it.
    ForbidCoreDumps();
    m_watchdog.setSingleShot(true);
    connect(&m_watchdog, &QTimer::timeout, this, &Inet::abandonStuckOperation);
    startWorker();
}

Inet::~Inet()
{
    *m_abort = true;
    m_thread->quit();
    // The worker closes its connection (QUIT) once its thread has ended. One stuck in a
    // library call that ignores every limit is left behind: the program ends all the same.
    if (m_thread->wait(kEndingGraceMs)) {
        delete m_thread;
        m_worker.reset();
    } else {
        leaveBehind();
    }
}

// The worker and its thread delete themselves when the operation finally returns.
void Inet::leaveBehind()
{
    InetWorker* stuck = m_worker.release();
    QThread* thread = m_thread;
    disconnect(stuck, nullptr, this, nullptr);
    // The lambda holds the abort flag, which the stuck worker reads, until it is deleted.
    QObject::connect(thread, &QThread::finished, thread, [stuck, thread, abort = m_abort] {
        delete stuck;
        thread->deleteLater();
    });
    thread->quit();
}

void Inet::startWorker()
{
    m_thread = new QThread;
    m_worker = std::make_unique<InetWorker>(*m_abort);
    m_worker->moveToThread(m_thread);
    connect(m_worker.get(), &InetWorker::stateReached, this, &Inet::onStateReached);
    connect(m_worker.get(), &InetWorker::operationEnded, this, &Inet::onOperationEnded);
    connect(m_worker.get(), &InetWorker::hostKeyUnknown, this,
            [this](const SftpHostKey& key) { m_unknownHostKey = key; });
    connect(m_worker.get(), &InetWorker::hostKeyChanged, this,
            [this](const SftpHostKey& key, const QString& knownFingerprint) {
                m_changedHostKey = key;
                m_knownFingerprint = knownFingerprint;
            });
    m_thread->start();
}

// curl bounds every wait it makes, but libssh2 asks the ssh agent to sign without any: an
// operation that overruns every limit by far is reported as failed, and its thread and
// connection are left to end when they can, while a fresh worker serves what follows.
void Inet::abandonStuckOperation()
{
    if (!m_executing)
        return;
    leaveBehind();
    startWorker();
    onStateReached(icError, CURLE_OPERATION_TIMEDOUT,
                   QStringLiteral("The operation did not end within %1 seconds and was abandoned")
                       .arg(m_watchdog.interval() / 1000));
    onOperationEnded();
}

std::optional<Inet::ExecuteError> Inet::Execute(const QString& operation)
{
    if (m_executing)
        return ExecuteError{kStillExecuting, QStringLiteral("Still executing last request")};
    InetRequest request;
    if (const auto refused = parse(operation, request))
        return refused;

    m_executing = true;
    if (request.kind == InetRequest::Delete || request.kind == InetRequest::Put) {
        m_unknownHostKey.reset();
        m_changedHostKey.reset();
    }
    m_watchdog.start(
        std::chrono::seconds(RequestTimeout > 0 ? RequestTimeout : kDefaultRequestTimeout) *
        kStuckAfterTimeouts);
    QMetaObject::invokeMethod(
        m_worker.get(), [worker = m_worker.get(), request] { worker->run(request); },
        Qt::QueuedConnection);
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

    configure(request);
    return std::nullopt;
}

void Inet::configure(InetRequest& request) const
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

    const RemoteServer target(URL.trimmed());
    request.server = target.server();
    request.sftp = target.security() == RemoteServer::Ssh;
    request.tls = !request.sftp && target.security() != RemoteServer::Plain;
    request.refusalCode = kInvalidOperation;
    request.refusal = refusal(request);
    if (request.refusal.isEmpty())
        request.remotePath = WithoutDotSegments(request.remotePath);
    if (request.refusal.isEmpty() && request.tls)
        request.trustedAuthorities = trustedAuthorities(kTrustedAuthorities, request.refusal);
    if (request.sftp) {
        // The default directory "/" is the login directory here as it is on an FTP server,
        // not the root of the server's file system, where no page belongs.
        if (request.remotePath.lastIndexOf(QLatin1Char('/')) == 0)
            request.remotePath.remove(0, 1);
        request.knownHosts = QStringList{QDir::homePath() + QStringLiteral("/.ssh/known_hosts"),
                                         QFileInfo(kKnownHosts).absoluteFilePath()};
        request.sshAgentSocket = qEnvironmentVariable("SSH_AUTH_SOCK");
        request.privateKey = privateKeyFile();
    }
}

bool Inet::TrustHostKey(const SftpHostKey& key, QString* error)
{
    return SftpHostKeyCheck::record(key, QFileInfo(kKnownHosts).absoluteFilePath(), error);
}

QString Inet::refusal(const InetRequest& request) const
{
    if (const QString problem = settingProblem("The host (Host)", URL); !problem.isEmpty())
        return problem;
    if (const QString problem = RemoteServer(URL.trimmed()).problem(); !problem.isEmpty())
        return problem;
    const struct
    {
        const char* named;
        const QString& value;
    } settings[] = {
        {"The target directory (Dir)", request.remotePath},
        {"The login (User)", UserName},
        {"The password (Pword)", Password},
        {"The proxy (Proxy)", request.proxy},
    };
    for (const auto& setting : settings) {
        if (const QString problem = settingProblem(setting.named, setting.value);
            !problem.isEmpty())
            return problem;
    }
    return {};
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
    m_watchdog.stop();
    m_executing = false;
    emit ExecutionEnded();
}
