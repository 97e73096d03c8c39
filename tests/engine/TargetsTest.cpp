// The targets beside the page, each against a real peer: a Knot DNS server, a dyndns2 service
// over TLS, and a command.
#include "support/DnsServers.h"
#include "support/EngineRig.h"
#include "support/LoopbackServer.h"
#include "support/TestCertificates.h"

#include <QTest>

#include <gtest/gtest.h>

#include <signal.h>

namespace {

const QByteArray kAddress = "203.0.113.7";
const QByteArray kAddress6 = "2001:db8::7";

struct TargetsRig : EngineRig
{
    TargetsRig()
    {
        world.installListingScript(DialUpListing(kAddress, kAddress6));
        settings.PublishPage = false;
    }
    bool lineStartingWith(const char* start) const
    {
        return std::any_of(host.history.cbegin(), host.history.cend(), [&](const QString& line) {
            return line.startsWith(QLatin1String(start));
        });
    }
};

// Without the page no FTP attempt is made; the name is updated and verified once, and an
// unchanged address sends nothing; a target that failed is the only one handed the address
// again.
template <class Server> class DnsTarget : public ::testing::Test
{
};
using Servers = ::testing::Types<KnotServer, BindServer>;
TYPED_TEST_SUITE(DnsTarget, Servers);

TYPED_TEST(DnsTarget, UpdatesVerifiesAndOnlyAFailedTargetIsRetried)
{
    const TypeParam knot;
    TargetsRig rig;
    rig.settings.sDnsServer = knot.server();
    rig.settings.sDnsZone = DnsTestServer::zone();
    rig.settings.sDnsNames = QStringLiteral("home");
    rig.settings.sTsigName = DnsTestServer::keyName();
    rig.settings.sTsigAlgorithm = DnsTestServer::algorithm();
    rig.settings.sTsigSecret = QStringLiteral("d3Jvbmcgc2VjcmV0IGZvciB0aGUga2V5IQ==");
    rig.settings.sHookCommand = QStringLiteral("true");

    CheckOutcome outcome = rig.check.Process(false);
    EXPECT_TRUE(rig.lineStartingWith("DNS update of home.example.org. failed: "))
        << rig.host.history.join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(outcome.published());
    EXPECT_FALSE(rig.lineStartingWith("Preparing to upload"));
    EXPECT_EQ(rig.driver.lFtpErrorCount, 0);

    rig.settings.sTsigSecret = DnsTestServer::secret();
    outcome = rig.check.Process(false);
    EXPECT_TRUE(outcome.published());
    ASSERT_EQ(outcome.targets.size(), 1) << "the hook already ran for this address";
    EXPECT_EQ(outcome.targets[0].name, QStringLiteral("dns"));
    EXPECT_TRUE(rig.host.history.contains(
        QStringLiteral("DNS name verified: home.example.org. A 203.0.113.7, AAAA 2001:db8::7")))
        << rig.host.history.join(QLatin1Char('\n')).toStdString();

    rig.check.Process(false);
    EXPECT_TRUE(rig.host.history.contains(QStringLiteral("No need to update at this time")));
}

struct Answer
{
    const char* body;
    int repeat;
    bool accepted;
    bool stops;                  // told once, and nothing more is sent
    int sentByAForcedCheckAfter; // requests the service has after a second, forced check
    int sentHalfAnHourLater;     // and after a third, 31 minutes later
};

// The service is asked once with every name and both addresses, as the user, by HostVane;
// its answer decides, and a refusal is told once and stops the updates.
TEST(DynDnsTarget, AsksTheServiceAndHeedsItsAnswer)
{
    const Answer answers[] = {
        {"good 203.0.113.7\nnochg 203.0.113.7", 1, true, false, 2, 3},
        {"badauth", 1, false, true, 1, 1},
        {"notfqdn", 1, false, true, 1, 1},
        {"nohost", 1, false, true, 1, 1},
        {"numhost", 1, false, true, 1, 1},
        {"abuse", 1, false, true, 1, 1},
        {"badagent", 1, false, true, 1, 1},
        {"dnserr", 1, false, false, 1, 2},
        {"good 203.0.113.7\n911", 1, false, false, 1, 2},
        {"nochg\x1b[2J", 1, true, false, 2, 3},
        {"<html><body>good</body></html>", 1, false, false, 2, 3},
        {"good 203.0.113.7\n", 600000, false, false, 2, 3}, // 10 MB
    };
    for (const Answer& answer : answers) {
        SCOPED_TRACE(answer.body);
        const LoopbackServer service = LoopbackServer::UpdateService(
            QLatin1String(answer.body), QStringLiteral("trusted"), answer.repeat);
        TargetsRig rig;
        rig.world.writeFile(QStringLiteral("dyndns-ca.pem"), TestCertificates::authority());
        rig.settings.sDynDnsUrl =
            QStringLiteral("https://127.0.0.1:%1/nic/update").arg(service.port());
        rig.settings.sDynDnsUser = QStringLiteral("pat");
        rig.settings.sDynDnsPassword = QStringLiteral("pw");
        rig.settings.sDynDnsNames = QStringLiteral("home.example.net, www.example.net");

        EXPECT_EQ(rig.check.Process(false).published(), answer.accepted)
            << rig.host.history.join(QLatin1Char('\n')).toStdString();
        ASSERT_EQ(service.requests().size(), 1);
        EXPECT_EQ(service.requests()[0],
                  QStringLiteral("/nic/update?hostname=home.example.net,www.example.net&myip="
                                 "203.0.113.7,2001:db8::7\tBasic cGF0OnB3\tHostVane/1.1.3"));
        EXPECT_FALSE(rig.host.history.join(QLatin1Char('\n')).contains(QChar(0x1b)));
        rig.check.Process(true);
        EXPECT_EQ(service.requests().size(), answer.sentByAForcedCheckAfter);
        rig.clock.advanceSeconds(31 * 60);
        rig.check.Process(true);
        EXPECT_EQ(service.requests().size(), answer.sentHalfAnHourLater);
        EXPECT_EQ(rig.prompt.shown.size(), answer.stops ? 1 : 0);
    }
}

// The password goes only where the URL says and as it says: a URL without a scheme is HTTPS,
// which a plain server never gets a request from.
TEST(DynDnsTarget, AUrlWithoutASchemeIsHttps)
{
    const LoopbackServer plain = LoopbackServer::UpdateService(QStringLiteral("good"));
    TargetsRig rig;
    rig.settings.sDynDnsUrl = QStringLiteral("127.0.0.1:%1/nic/update").arg(plain.port());
    rig.settings.sDynDnsNames = QStringLiteral("home.example.net");
    EXPECT_FALSE(rig.check.Process(false).published());
    EXPECT_TRUE(plain.requests().isEmpty());
    EXPECT_TRUE(rig.lineStartingWith("DynDNS update failed: "));
}

// The hook gets the addresses and the other targets' outcomes, not through a shell; one that
// fails is run again at the next check.
TEST(HookTarget, RunsWithTheCheckInItsEnvironment)
{
    TargetsRig rig;
    rig.settings.sHookCommand = QStringLiteral(
        "sh -c \"env | grep ^HOSTVANE_ | sort > hook.env; echo done >&2; exit $0\" 3");
    EXPECT_FALSE(rig.check.Process(false).published());
    EXPECT_TRUE(rig.host.history.contains(QStringLiteral("Hook ended with exit code 3 (done)")));
    EXPECT_EQ(rig.world.readFile(QStringLiteral("hook.env")),
              "HOSTVANE_DNS=off\nHOSTVANE_DYNDNS=off\nHOSTVANE_IP6=2001:db8::7\n"
              "HOSTVANE_IP=203.0.113.7\nHOSTVANE_PAGE=off\nHOSTVANE_PREVIOUS_IP6=\n"
              "HOSTVANE_PREVIOUS_IP=\n");
    rig.settings.sHookCommand = QStringLiteral("no-such-hook-program");
    rig.check.Process(false);
    EXPECT_TRUE(rig.host.history.contains(
        QStringLiteral("Hook failed: cannot start no-such-hook-program")));
}

// A hook that floods its error output is quoted by its last line; one that hangs is ended
// with what it started when its time is up.
TEST(HookTarget, AFloodIsCutAndAHangIsEnded)
{
    TargetsRig rig;
    HookTarget hook(rig.host, std::chrono::milliseconds(500));
    const CheckAddresses found{QString::fromLatin1(kAddress), {}};
    rig.settings.sHookCommand =
        QStringLiteral("sh -c \"yes flood | head -c 600000 >&2; echo last words >&2\"");
    EXPECT_EQ(hook.Publish(found, {rig.settings, {}, false, {}}), PublishTarget::Result::Published);
    EXPECT_EQ(rig.host.history.last(), QStringLiteral("Hook ended with exit code 0 (last words)"));

    rig.settings.sHookCommand =
        QStringLiteral("sh -c \"sleep 60 & echo $! > child.pid; sleep 60\"");
    EXPECT_EQ(hook.Publish(found, {rig.settings, {}, false, {}}), PublishTarget::Result::Failed);
    EXPECT_TRUE(rig.host.history.last().startsWith(QStringLiteral("Hook failed: still running")));
    const pid_t child = rig.world.readFile(QStringLiteral("child.pid")).trimmed().toInt();
    ASSERT_GT(child, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ::kill(child, 0) != 0; }, 5000))
        << "what the hook started was ended too";
}

} // namespace
