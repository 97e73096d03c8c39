#include "system/InstanceGuard.h"

#include "platform/XdgPaths.h"

#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>

#include <algorithm>
#include <utility>

namespace {

const QByteArray kShowRequest = "show\n";
const QByteArray kCheckRequest = "check\n";
const QByteArray kStatusRequest = "status\n";
constexpr qint64 kLongestStatus = 64 * 1024;
const QByteArray kDesktopGreeting = "hostvane desktop\n";
const QByteArray kServiceGreeting = "hostvane service\n";
constexpr int kAnswerMs = 1000;
constexpr qint64 kLongestRequest = 256;

// An activation token is opaque, but printable and without blanks; anything else is not one.
bool isActivationToken(const QByteArray& token)
{
    return !token.isEmpty() && token.size() < kLongestRequest - kShowRequest.size() &&
           std::all_of(token.cbegin(), token.cend(), [](char c) { return c > ' ' && c < 127; });
}

QString runtimeDirectory()
{
    const QString runtime = XdgPaths::RuntimeDir();
    return runtime.isEmpty() ? XdgPaths::RuntimeFallback(QStringLiteral("hostvane")) : runtime;
}

} // namespace

InstanceGuard::InstanceGuard(QObject* parent) : QObject(parent)
{
}

InstanceGuard::~InstanceGuard() = default;

QString InstanceGuard::SocketPath()
{
    return runtimeDirectory() + QStringLiteral("/hostvane.instance");
}

InstanceGuard::ClaimResult InstanceGuard::Claim()
{
    const QString path = SocketPath();
    const QString directory = QFileInfo(path).path();
    if (XdgPaths::RuntimeDir().isEmpty() && !XdgPaths::IsPrivateDirectory(directory)) {
        m_failure = QStringLiteral("%1 is not a directory of this user's own that nobody else "
                                   "may enter; set XDG_RUNTIME_DIR")
                        .arg(directory);
        return ClaimResult::Failed;
    }

    // Two starts at the same moment must not both decide they are first.
    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.tryLock(kAnswerMs) && lock.error() != QLockFile::LockFailedError) {
        m_failure =
            QStringLiteral("cannot lock %1.lock in %2").arg(QFileInfo(path).fileName(), directory);
        return ClaimResult::Failed;
    }

    auto* other = new QLocalSocket(this);
    other->connectToServer(path);
    if (other->waitForConnected(kAnswerMs)) {
        m_other = other;
        if (other->canReadLine() || other->waitForReadyRead(kAnswerMs))
            m_otherIsService = other->readLine() == kServiceGreeting;
        return ClaimResult::OtherRunning;
    }
    delete other;

    QLocalServer::removeServer(path);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &InstanceGuard::serveConnection);
    if (!m_server->listen(path)) {
        m_failure = QStringLiteral("cannot listen on %1: %2").arg(path, m_server->errorString());
        return ClaimResult::Failed;
    }
    return ClaimResult::First;
}

void InstanceGuard::RaiseOther()
{
    const QByteArray token = qgetenv("XDG_ACTIVATION_TOKEN");
    ask(isActivationToken(token) ? kShowRequest.chopped(1) + ' ' + token + '\n' : kShowRequest);
}

void InstanceGuard::AskOtherToCheck()
{
    ask(kCheckRequest);
}

std::optional<QByteArray> InstanceGuard::AskOtherForStatus()
{
    if (!m_other)
        return std::nullopt;
    m_other->write(kStatusRequest);
    // The answer ends when the other instance hangs up; bounded in time and size.
    QByteArray answer;
    while (answer.size() < kLongestStatus && m_other->state() == QLocalSocket::ConnectedState &&
           (m_other->bytesAvailable() > 0 || m_other->waitForReadyRead(kAnswerMs)))
        answer += m_other->read(kLongestStatus - answer.size());
    answer += m_other->read(kLongestStatus - answer.size());
    const bool whole = m_other->state() != QLocalSocket::ConnectedState;
    m_other->abort();
    if (!whole)
        return std::nullopt;
    return answer;
}

void InstanceGuard::ask(const QByteArray& request)
{
    if (!m_other)
        return;
    m_other->write(request);
    m_other->waitForBytesWritten(kAnswerMs);
    m_other->disconnectFromServer();
}

// A request is a short line. Requests are read whole before any is acted on, and each is
// acted on later, from the event loop: the check a request starts waits in event loops of its
// own, during which the caller may go away and its socket be deleted.
void InstanceGuard::serveConnection()
{
    while (QLocalSocket* caller = m_server->nextPendingConnection()) {
        caller->setReadBufferSize(kLongestRequest);
        connect(caller, &QLocalSocket::disconnected, caller, &QObject::deleteLater);
        connect(caller, &QLocalSocket::readyRead, this, [this, caller] {
            QList<QByteArray> requests;
            while (caller->canReadLine())
                requests.append(caller->readLine(kLongestRequest + 1));
            // A caller that sends no line break within a request's length is not a later start.
            if (caller->bytesAvailable() >= kLongestRequest)
                caller->abort();
            for (const QByteArray& request : std::as_const(requests)) {
                const QByteArray token = request.mid(kShowRequest.size()).trimmed();
                if (request == kShowRequest ||
                    (request.startsWith(kShowRequest.chopped(1) + ' ') && isActivationToken(token)))
                    QMetaObject::invokeMethod(
                        this, [this, token] { emit ShowRequested(token); }, Qt::QueuedConnection);
                else if (request == kCheckRequest)
                    QMetaObject::invokeMethod(this, &InstanceGuard::CheckRequested,
                                              Qt::QueuedConnection);
                else if (request == kStatusRequest && m_status)
                    QMetaObject::invokeMethod(
                        this,
                        [this, asking = QPointer<QLocalSocket>(caller)] {
                            if (!asking)
                                return;
                            asking->write(m_status());
                            asking->disconnectFromServer();
                        },
                        Qt::QueuedConnection);
            }
        });
        caller->write(m_service ? kServiceGreeting : kDesktopGreeting);
    }
}
