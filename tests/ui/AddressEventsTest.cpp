// The real program in a private network namespace with a point-to-point tun interface ppp0
// and a loopback FTP server: the kernel's address announcements bring the next check forward.
// The interval is 99 minutes, so every check after the first one at start-up comes from an
// address event.

#include "support/LoopbackServer.h"
#include "support/PrivateNetwork.h"
#include "support/RunningProgram.h"
#include "support/TempWorld.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace std::chrono_literals;

const QString kPeer = QStringLiteral("10.64.0.1");

class AddressEvents : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!network.failure().isEmpty())
            GTEST_SKIP() << "cannot make a private network namespace: " << network.failure();
        ASSERT_TRUE(
            network.addPointToPoint(QStringLiteral("ppp0"), QStringLiteral("10.64.0.2"), kPeer))
            << "cannot make the tun interface ppp0";
        server = std::make_unique<LoopbackServer>(
            LoopbackServer::Ftp(QStringLiteral("vane"), QStringLiteral("vane-pass")));
    }

    void start(bool autoProcess)
    {
        world.writeSettings("[Settings]\nHost=" + server->address().toUtf8() +
                            "\nUser=vane\nPword=vane-pass\nDir=/\nRefresh=99\nAutoProcess=" +
                            (autoProcess ? "001" : "000") + "\n");
        program = std::make_unique<RunningProgram>(QStringLiteral(HOSTVANE_EXECUTABLE),
                                                   world.root() + QStringLiteral("/runtime"));
        ASSERT_TRUE(program->started());
    }

    // ppp0 gives up `from` and takes `to`.
    void move(const QString& from, const QString& to)
    {
        const QString dev = QStringLiteral("dev");
        ASSERT_TRUE(network.ip({QStringLiteral("addr"), QStringLiteral("del"), from,
                                QStringLiteral("peer"), kPeer, dev, QStringLiteral("ppp0")}));
        ASSERT_TRUE(network.ip({QStringLiteral("addr"), QStringLiteral("add"), to,
                                QStringLiteral("peer"), kPeer, dev, QStringLiteral("ppp0")}));
    }

    // Waits for the `count`th check to finish and for no check to start in the seconds after.
    void expectChecks(int count)
    {
        ASSERT_TRUE(program->waitForLines(kCheckFinished, count, 15s))
            << "check " << count << " did not come\n"
            << program->history();
        EXPECT_FALSE(program->waitForLines(kCheckStarted, count + 1, 3s)) << "one check too many\n"
                                                                          << program->history();
    }

    QString page() const
    {
        QFile file(server->home() + QStringLiteral("/hostvane.html"));
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
    }

    PrivateNetwork network;
    TempWorld world;
    std::unique_ptr<LoopbackServer> server;
    std::unique_ptr<RunningProgram> program;
};

TEST_F(AddressEvents, ANewAddressIsPublishedAtOnceARefreshAndABurstAreNot)
{
    start(true);
    expectChecks(1);
    EXPECT_TRUE(page().contains(QStringLiteral("http://10.64.0.2/"))) << page();

    // The kernel announces the address again with a new lifetime: nothing changed.
    ASSERT_TRUE(
        network.ip({QStringLiteral("addr"), QStringLiteral("change"), QStringLiteral("10.64.0.2"),
                    QStringLiteral("peer"), kPeer, QStringLiteral("dev"), QStringLiteral("ppp0"),
                    QStringLiteral("valid_lft"), QStringLiteral("600"),
                    QStringLiteral("preferred_lft"), QStringLiteral("600")}));
    expectChecks(1);

    // Giving up one address and taking the next is one change.
    move(QStringLiteral("10.64.0.2"), QStringLiteral("10.64.0.3"));
    expectChecks(2);
    EXPECT_TRUE(page().contains(QStringLiteral("http://10.64.0.3/"))) << page();

    // A link flapping ten times within a second: one check in flight and one after it at most.
    QString previous = QStringLiteral("10.64.0.3");
    for (int flap = 0; flap < 10; ++flap) {
        const QString next = QStringLiteral("10.64.0.") + QString::number(10 + flap);
        move(previous, next);
        previous = next;
        QEventLoop pause;
        QTimer::singleShot(90ms, &pause, &QEventLoop::quit);
        pause.exec();
    }
    ASSERT_TRUE(program->waitForLines(kCheckFinished, 3, 15s)) << program->history();
    const bool second = program->waitForLines(kCheckFinished, 4, 5s);
    expectChecks(second ? 4 : 3);
    EXPECT_TRUE(page().contains(QStringLiteral("http://10.64.0.19/"))) << page();
}

// ppp0 holds beside its IPv4 address a global IPv6 one, a link-local and a deprecated one; the
// listing follows ppp0 itself. Each step changes ppp0 and says how many checks there have been
// after it and what the page then links to.
TEST_F(AddressEvents, IPv6AddressesThatTheWorldCanUseArePublished)
{
    const auto ip = [this](const char* command) {
        ASSERT_TRUE(network.ip(QString::fromLatin1(command).split(QLatin1Char(' '))))
            << "ip " << command;
    };
    ip("-6 addr add 2001:db8:1::5/64 dev ppp0 nodad");
    ip("-6 addr add fe80::5/64 dev ppp0 nodad");
    ip("-6 addr add 2001:db8:1::9/64 dev ppp0 nodad preferred_lft 0");
    world.installInterfaceListingScript(QStringLiteral("ppp0"));
    start(true);
    expectChecks(1);
    EXPECT_TRUE(page().contains(QStringLiteral("URL=http://10.64.0.2/"))) << page();
    EXPECT_TRUE(page().contains(QStringLiteral("(<a href=\"http://[2001:db8:1::5]/\">"))) << page();

    const struct
    {
        const char* what;
        const char* command; // ip's arguments
        int checks;
        const char* link; // the page holds it
    } steps[] = {
        {"another link-local address", "-6 addr add fe80::6/64 dev ppp0 nodad", 1,
         "http://[2001:db8:1::5]/"},
        {"another deprecated address",
         "-6 addr add 2001:db8:1::a/64 dev ppp0 nodad preferred_lft 0", 1,
         "http://[2001:db8:1::5]/"},
        {"the deprecated address removed", "-6 addr del 2001:db8:1::9/64 dev ppp0", 1,
         "http://[2001:db8:1::5]/"},
        {"the global address replaced", "-6 addr add 2001:db8:1::6/64 dev ppp0 nodad", 2,
         "(<a href=\"http://[2001:db8:1::6]/\">"},
        {"the old global address removed", "-6 addr del 2001:db8:1::5/64 dev ppp0", 3,
         "(<a href=\"http://[2001:db8:1::6]/\">"},
        {"no IPv4 address: the IPv6 page", "addr del 10.64.0.2 peer 10.64.0.1 dev ppp0", 4,
         "URL=http://[2001:db8:1::6]/"},
        {"IPv4 back", "addr add 10.64.0.3 peer 10.64.0.1 dev ppp0", 5, "URL=http://10.64.0.3/"},
        {"no IPv6 address: the IPv4 page", "-6 addr del 2001:db8:1::6/64 dev ppp0", 6,
         "(<a href=\"http://10.64.0.3/\">"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        ip(step.command);
        expectChecks(step.checks);
        EXPECT_TRUE(page().contains(QLatin1String(step.link))) << page();
    }
}

TEST_F(AddressEvents, AnEventDuringACheckGivesOneMoreCheckAfterIt)
{
    // The address moves right after the report script has read it, during the first check.
    world.writeFile(QStringLiteral("getipNT.bat"),
                    "#!/bin/sh\n./getip95.bat || exit 1\n"
                    "if [ -e move-address ]; then\n  rm -f move-address\n"
                    "  ip addr del 10.64.0.2 peer 10.64.0.1 dev ppp0\n"
                    "  ip addr add 10.64.0.3 peer 10.64.0.1 dev ppp0\nfi\n",
                    true);
    world.writeFile(QStringLiteral("move-address"), "");
    start(true);
    expectChecks(2);
    const QStringList history = program->history();
    EXPECT_TRUE(history.contains(QStringLiteral("IP resolved: 10.64.0.3"))) << history;
    EXPECT_TRUE(page().contains(QStringLiteral("http://10.64.0.3/"))) << page();
}

TEST_F(AddressEvents, WithAutomaticCheckingOffEventsDoNothing)
{
    start(false);
    QEventLoop wait;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &wait, [&] {
        if (program->listensForAddressEvents())
            wait.quit();
    });
    QTimer::singleShot(10s, &wait, &QEventLoop::quit);
    poll.start(50ms);
    wait.exec();
    ASSERT_TRUE(program->listensForAddressEvents()) << program->errors();

    move(QStringLiteral("10.64.0.2"), QStringLiteral("10.64.0.3"));
    EXPECT_FALSE(program->waitForLines(kCheckStarted, 1, 3s)) << program->history();
    EXPECT_TRUE(page().isEmpty()) << page();
}

} // namespace
