#include "system/InstanceGuard.h"
#include "support/TempWorld.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

#include <atomic>
#include <thread>

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
    EXPECT_EQ(first.Claim(), InstanceGuard::ClaimResult::First);
    EXPECT_EQ(QFileInfo(InstanceGuard::SocketPath()).permissions() &
                  (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
              QFile::Permissions())
        << "only its user may reach the instance";

    QSignalSpy showRequests(&first, &InstanceGuard::ShowRequested);
    InstanceGuard later;
    EXPECT_EQ(later.Claim(), InstanceGuard::ClaimResult::OtherRunning);
    EXPECT_FALSE(later.OtherIsService());
    // The launcher's activation token travels with the request, for a Wayland desktop.
    qputenv("XDG_ACTIVATION_TOKEN", "weston-token_1:7");
    later.RaiseOther();
    qunsetenv("XDG_ACTIVATION_TOKEN");
    EXPECT_TRUE(showRequests.wait(5000));
    EXPECT_EQ(showRequests.value(0).value(0).toByteArray(), QByteArray("weston-token_1:7"));

    // A later start, here in a thread of its own as it would be in a process of its own, learns
    // that the service answers, and may ask it for a check.
    first.setService(true);
    QSignalSpy checkRequests(&first, &InstanceGuard::CheckRequested);
    std::atomic_bool asked = false;
    InstanceGuard::ClaimResult claim = InstanceGuard::ClaimResult::First;
    bool service = false;
    std::thread asking([&] {
        InstanceGuard guard;
        claim = guard.Claim();
        service = guard.OtherIsService();
        guard.AskOtherToCheck();
        asked = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return asked.load(); }, 5000));
    asking.join();
    EXPECT_EQ(claim, InstanceGuard::ClaimResult::OtherRunning);
    EXPECT_TRUE(service);
    EXPECT_TRUE(QTest::qWaitFor([&] { return checkRequests.count() == 1; }, 5000));
    EXPECT_EQ(showRequests.count(), 1);
}

// Where it cannot be ruled out that another copy runs, the claim fails and says why instead of
// letting two copies run: a runtime directory where nothing can listen, or a fallback directory
// another user could reach.
TEST(InstanceGuard, RefusesWhatItCannotRuleOut)
{
    TempWorld world;
    qputenv("XDG_RUNTIME_DIR", (world.root() + QStringLiteral("/missing")).toUtf8());
    InstanceGuard nowhere;
    EXPECT_EQ(nowhere.Claim(), InstanceGuard::ClaimResult::Failed);
    EXPECT_TRUE(nowhere.FailureText().contains(QStringLiteral("missing")))
        << nowhere.FailureText().toStdString();

    qunsetenv("XDG_RUNTIME_DIR");
    const QString fallback = QFileInfo(InstanceGuard::SocketPath()).path();
    ASSERT_TRUE(QFile::setPermissions(fallback, QFile::ReadOwner | QFile::WriteOwner |
                                                    QFile::ExeOwner | QFile::ReadOther |
                                                    QFile::ExeOther));
    InstanceGuard shared;
    EXPECT_EQ(shared.Claim(), InstanceGuard::ClaimResult::Failed);
    EXPECT_TRUE(shared.FailureText().contains(QStringLiteral("XDG_RUNTIME_DIR")));
    QFile::setPermissions(fallback, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
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
