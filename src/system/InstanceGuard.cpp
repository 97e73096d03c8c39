#include "system/InstanceGuard.h"

#include "platform/XdgPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray kShowRequest = "show\n";
constexpr int kAnswerMs = 1000;

// The fallback directory is only used when it is a real directory the user owns and nobody
// else may enter; anything else at that name could belong to another user.
bool isPrivateDirectory(const QString& path)
{
    struct stat info = {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
}

QString runtimeDirectory()
{
    const QString runtime = XdgPaths::RuntimeDir();
    if (!runtime.isEmpty())
        return runtime;
    const QString fallback =
        QDir::tempPath() + QStringLiteral("/hostvane-%1").arg(static_cast<qulonglong>(::getuid()));
    ::mkdir(QFile::encodeName(fallback).constData(), 0700);
    return fallback;
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

bool InstanceGuard::Claim()
{
    const QString path = SocketPath();
    const QString directory = QFileInfo(path).path();
    if (XdgPaths::RuntimeDir().isEmpty() && !isPrivateDirectory(directory))
        return true;

    // Two starts at the same moment must not both decide they are first.
    QLockFile lock(path + QStringLiteral(".lock"));
    lock.tryLock(kAnswerMs);

    auto* other = new QLocalSocket(this);
    other->connectToServer(path);
    if (other->waitForConnected(kAnswerMs)) {
        m_other = other;
        return false;
    }
    delete other;

    QLocalServer::removeServer(path);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &InstanceGuard::serveConnection);
    m_server->listen(path);
    return true;
}

void InstanceGuard::RaiseOther()
{
    if (!m_other)
        return;
    m_other->write(kShowRequest);
    m_other->waitForBytesWritten(kAnswerMs);
    m_other->disconnectFromServer();
}

void InstanceGuard::serveConnection()
{
    while (QLocalSocket* caller = m_server->nextPendingConnection()) {
        connect(caller, &QLocalSocket::disconnected, caller, &QObject::deleteLater);
        connect(caller, &QLocalSocket::readyRead, this, [this, caller] {
            while (caller->canReadLine()) {
                if (caller->readLine() == kShowRequest)
                    emit ShowRequested();
            }
        });
    }
}
