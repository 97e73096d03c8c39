#include "support/EngineRig.h"
#include "support/LoopbackServer.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

const QString kStart = QStringLiteral("Checking IP address at: Dec 06, 2026  02:51:38 am");
const QString kEnd = QStringLiteral("Finished update processing at: Dec 06, 2026  02:51:38 am");

TEST(Process, UnchangedAddressOnSchedule)
{
    EngineRig rig;
    rig.world.installListingScript(DialUpListing("10.1.2.3"));
    rig.check.sPreviousIP = QStringLiteral("10.1.2.3");
    rig.check.Process(false);
    EXPECT_EQ(rig.host.history,
              QStringList({kStart,
                           QStringLiteral("Adapter found at: NdisWan adapter ppp0 (PPP Adapter):"),
                           QStringLiteral("IP Found at: IP Address. . . . . . . . . : 10.1.2.3"),
                           QStringLiteral("IP resolved: 10.1.2.3"),
                           QStringLiteral("The address 10.1.2.3 is private and cannot be reached "
                                          "from the Internet; to publish the address the "
                                          "Internet sees, choose \"public\" in File > "
                                          "Properties, Connection identifier"),
                           QStringLiteral("Previous IP address: 10.1.2.3"),
                           QStringLiteral("Current IP address: 10.1.2.3"),
                           QStringLiteral("No need to update at this time"), kEnd}));
    EXPECT_EQ(rig.check.sPreviousIP, QStringLiteral("10.1.2.3"));
}

// After the line that says so, one more says what the listing held instead.
TEST(Process, NoAddressClearsThePreviousOne)
{
    EngineRig rig;
    rig.world.installListingScript(DialUpListing("0.0.0.0"));
    rig.check.sPreviousIP = QStringLiteral("10.1.2.3");
    rig.check.Process(false);
    EXPECT_EQ(rig.host.history.first(), kStart);
    EXPECT_EQ(rig.host.history.at(rig.host.history.size() - 3),
              QStringLiteral("Cannot resolve local WAN IP address"));
    EXPECT_EQ(rig.host.history.at(rig.host.history.size() - 2),
              QStringLiteral("The address report listed: eth0 192.168.1.20, ppp0 0.0.0.0; choose "
                             "one in File > Properties, Connection identifier"));
    EXPECT_EQ(rig.host.history.last(), kEnd);
    EXPECT_FALSE(rig.host.history.contains(QStringLiteral("Previous IP address: 10.1.2.3")));
    EXPECT_EQ(rig.check.sPreviousIP, QString());
}

// A first start knows no server yet: the check finds the address and says where to enter
// the server, with no attempt and no error; once entered, the next check publishes.
TEST(Process, ThePlaceholderServerGetsNothing)
{
    EngineRig rig;
    rig.world.installListingScript(DialUpListing("203.0.113.7"));
    rig.settings.sHost = SettingsKeys::PlaceholderHost();
    rig.settings.sTargetUrl = QStringLiteral("FTP://") + rig.settings.sHost;
    const CheckOutcome outcome = rig.check.Process(true);
    EXPECT_EQ(rig.host.history.at(rig.host.history.size() - 2),
              QStringLiteral("Nothing published: enter your FTP server as the Host in File > "
                             "Properties"));
    EXPECT_FALSE(
        rig.host.history.contains(QStringLiteral("Preparing to upload new redirector page")));
    EXPECT_EQ(rig.driver.lFtpErrorCount, 0);
    EXPECT_FALSE(outcome.publishTried());

    rig.settings.sHost = QStringLiteral("127.0.0.1:1");
    rig.settings.sTargetUrl = QStringLiteral("FTP://127.0.0.1:1");
    rig.check.Process(false);
    EXPECT_TRUE(
        rig.host.history.contains(QStringLiteral("Preparing to upload new redirector page")));
}

TEST(Process, FailingScriptEndsTheCheckNormally)
{
    EngineRig rig;
    rig.world.writeFile(QStringLiteral("getipNT.bat"), "#!/bin/sh\nexit 1\n", true);
    rig.check.Process(false);
    const QString error = QStringLiteral("error: 1 running getip.bat (getipNT.bat)");
    ASSERT_EQ(rig.prompt.shown.size(), 1);
    EXPECT_EQ(rig.prompt.shown[0].text, error);
    EXPECT_EQ(
        rig.host.history,
        QStringList({kStart, error, QStringLiteral("Cannot resolve local WAN IP address"), kEnd}));
}

TEST(Process, TimesComeFromTheClock)
{
    EngineRig rig;
    rig.world.installListingScript(DialUpListing("10.1.2.3"));
    rig.check.sPreviousIP = QStringLiteral("10.1.2.3");
    rig.clock.set(QDateTime(QDate(2027, 1, 2), QTime(15, 4, 5)));
    rig.check.Process(false);
    EXPECT_EQ(rig.host.history.first(),
              QStringLiteral("Checking IP address at: Jan 02, 2027  03:04:05 pm"));
}

// A program that ends in the middle of a check leaves one line that says so, and no line of
// failures or transfers that never happened.
TEST(Process, AnAbandonedCheckRecordsOnlyThatItWasAbandoned)
{
    EngineRig rig;
    rig.world.installListingScript(DialUpListing("10.1.2.3"));
    rig.host.onEvent = [&](const QString& line) {
        if (line.startsWith(QStringLiteral("IP resolved")))
            rig.engine.AbandonCheck();
    };
    rig.check.Process(true);
    ASSERT_GE(rig.host.history.size(), 2);
    EXPECT_EQ(rig.host.history.last(), QStringLiteral("Check abandoned: the program is ending"));
    EXPECT_TRUE(
        rig.host.history.at(rig.host.history.size() - 2).startsWith(QStringLiteral("IP resolved")));
    EXPECT_TRUE(rig.host.ftpErrorLines.isEmpty());
}

// A save while a check waits changes the next check, not the one under way.
TEST(CheckOnServer, RunsOnTheSettingsItBeganWith)
{
    EngineRig rig;
    LoopbackServer server = LoopbackServer::Ftp(QStringLiteral("pat"), QStringLiteral("pw"));
    rig.world.installListingScript(DialUpListing("10.1.2.3"));
    rig.settings.sTargetUrl = server.url();
    rig.settings.sUser = QStringLiteral("pat");
    rig.settings.sPword = QStringLiteral("pw");
    rig.host.onEvent = [&](const QString& line) {
        if (line.startsWith(QStringLiteral("IP resolved")))
            rig.settings.sTargetUrl = QStringLiteral("FTP://127.0.0.1:1");
    };
    EXPECT_TRUE(rig.check.Process(true).published())
        << rig.host.history.join(QLatin1Char('\n')).toStdString();
}

// A change of either address publishes; a page that did not get up is published again.
TEST(CheckOnServer, EitherAddressChangingPublishes)
{
    EngineRig rig;
    LoopbackServer server = LoopbackServer::Ftp(QStringLiteral("pat"), QStringLiteral("pw"));
    rig.settings.sUser = QStringLiteral("pat");
    rig.settings.sPword = QStringLiteral("pw");
    const char* publish = "Preparing to upload new redirector page";
    const char* unchanged = "No need to update at this time";
    const struct
    {
        const char* ip;
        const char* ipv6;
        bool serverUp;
        const char* previous6; // the "Previous IPv6 address: " shown; null for no IPv6 lines
        const char* decision;
        const char* link; // in the page on the server after the check
    } steps[] = {
        {"10.1.2.3", "2001:db8::5", true, "", publish, "http://[2001:db8::5]/"},
        {"10.1.2.3", "2001:db8::5", true, "2001:db8::5", unchanged, "http://[2001:db8::5]/"},
        {"10.1.2.3", "2001:db8::6", false, "2001:db8::5", publish, "http://[2001:db8::5]/"},
        {"10.1.2.3", "2001:db8::6", true, "", publish, "http://[2001:db8::6]/"},
        {"10.1.2.3", "", true, "2001:db8::6", publish, "(<a href=\"http://10.1.2.3/\""},
        {"10.1.2.3", "", true, nullptr, unchanged, "(<a href=\"http://10.1.2.3/\""},
        {"0.0.0.0", "2001:db8::7", true, "", publish, "URL=http://[2001:db8::7]/"},
        {"0.0.0.0", "", true, nullptr, "Cannot resolve local WAN IP address",
         "URL=http://[2001:db8::7]/"},
        {"0.0.0.0", "2001:db8::7", true, "", publish, "URL=http://[2001:db8::7]/"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(std::string(step.ip) + " " + step.ipv6);
        rig.world.installListingScript(DialUpListing(step.ip, step.ipv6));
        rig.settings.sTargetUrl =
            step.serverUp ? server.url() : QStringLiteral("FTP://127.0.0.1:1");
        rig.check.Process(false);
        const QStringList& history = rig.host.history;
        EXPECT_TRUE(history.contains(QLatin1String(step.decision))) << history;
        if (step.previous6) {
            const qsizetype current =
                history.indexOf(QStringLiteral("Current IP address: ") + rig.check.sCurrentIP);
            ASSERT_GE(current, 0) << history;
            EXPECT_EQ(
                history.mid(current + 1, 2),
                QStringList(
                    {QStringLiteral("Previous IPv6 address: ") + QLatin1String(step.previous6),
                     QStringLiteral("Current IPv6 address: ") + QLatin1String(step.ipv6)}));
        } else {
            EXPECT_FALSE(history.join(QLatin1Char('\n')).contains(QStringLiteral("IPv6 address")))
                << history;
        }
        QFile page(server.home() + QStringLiteral("/hostvane.html"));
        ASSERT_TRUE(page.open(QIODevice::ReadOnly));
        EXPECT_TRUE(page.readAll().contains(step.link));
    }
}

} // namespace
