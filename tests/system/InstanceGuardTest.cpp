#include "system/InstanceGuard.h"
#include "support/TempWorld.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

// A socket file nobody listens on, as an instance that crashed leaves it.
void leaveStaleSocket(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::copy(name.begin(), name.end(), address.sun_path);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
    ASSERT_TRUE(QFileInfo::exists(path));
}

TEST(InstanceGuard, FirstAnswersLaterStartsAndAStaleSocketDoesNotBlock)
{
    TempWorld world;
    EXPECT_EQ(InstanceGuard::SocketPath(), world.root() + QStringLiteral("/run/hostvane.instance"));
    leaveStaleSocket(InstanceGuard::SocketPath());

    InstanceGuard first;
    EXPECT_TRUE(first.Claim());
    EXPECT_EQ(QFileInfo(InstanceGuard::SocketPath()).permissions() &
                  (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
              QFile::Permissions())
        << "only its user may reach the instance";

    QSignalSpy showRequests(&first, &InstanceGuard::ShowRequested);
    InstanceGuard later;
    EXPECT_FALSE(later.Claim());
    later.RaiseOther();
    EXPECT_TRUE(showRequests.wait(5000));
}

// Without a runtime directory the socket goes into a directory of the user's own.
TEST(InstanceGuard, FallsBackToAPrivateDirectory)
{
    TempWorld world;
    qunsetenv("XDG_RUNTIME_DIR");
    const QFileInfo directory(QFileInfo(InstanceGuard::SocketPath()).path());
    EXPECT_TRUE(directory.absoluteFilePath().startsWith(QDir::tempPath() + QStringLiteral("/")));
    EXPECT_TRUE(directory.isDir());
    EXPECT_EQ(directory.ownerId(), ::getuid());
    EXPECT_EQ(directory.permissions() &
                  (QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther),
              QFile::Permissions());
}

} // namespace
