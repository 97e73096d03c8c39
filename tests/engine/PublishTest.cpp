#include "support/EngineRig.h"
#include "support/EventLoopTicker.h"
#include "support/LoopbackServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

namespace {

const QString kUser = QStringLiteral("webmaster");
const QString kPassword = QStringLiteral("pa55-word");

// The lines a check wrote after `from` and before `to`.
QStringList between(const QStringList& history, const QString& from, const QString& to)
{
    const qsizetype start = history.indexOf(from);
    const qsizetype end = history.indexOf(to, start + 1);
    if (start < 0 || end < 0)
        return {};
    return history.mid(start + 1, end - start - 1);
}

QByteArray serverFile(const LoopbackServer& server, const QString& relative)
{
    QFile file(server.home() + QLatin1Char('/') + relative);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class PublishTest : public ::testing::Test
{
protected:
    PublishTest() : server(LoopbackServer::Ftp(kUser, kPassword))
    {
        rig.settings.sTargetUrl = server.url();
        rig.settings.sUser = kUser;
        rig.settings.sPword = kPassword;
        address("10.1.2.3");
    }

    void address(const QByteArray& ip) { rig.world.installListingScript(DialUpListing(ip)); }
    const QStringList& history() const { return rig.host.history; }

    LoopbackServer server;
    EngineRig rig;
};

TEST_F(PublishTest, FirstPublishToAnEmptyDirectory)
{
    rig.check.Process(false);

    const QStringList deleting = between(history(), QStringLiteral("Deleting old redirector page"),
                                         QStringLiteral("Uploading new redirector page"));
    ASSERT_FALSE(deleting.isEmpty()) << history();
    EXPECT_EQ(deleting.first(), QStringLiteral("Resolving FTP host address"));
    EXPECT_EQ(deleting.last(), QStringLiteral("Error with FTP occurred"));

    const QStringList uploading =
        between(history(), QStringLiteral("Uploading new redirector page"),
                QStringLiteral("Closing FTP connection"));
    ASSERT_FALSE(uploading.isEmpty()) << history();
    EXPECT_EQ(uploading.last(), QStringLiteral("Response completed"));
    EXPECT_FALSE(uploading.contains(QStringLiteral("Error with FTP occurred")));

    EXPECT_EQ(between(history(), QStringLiteral("Closing FTP connection"),
                      QStringLiteral("Quitting FTP")),
              QStringList({QStringLiteral("Disconnecting from FTP host"),
                           QStringLiteral("Disconnected from FTP host")}));
    EXPECT_TRUE(history().last().startsWith(QStringLiteral("Finished update processing at: ")));

    EXPECT_EQ(rig.driver.lUploadCount, 1);
    EXPECT_EQ(rig.driver.lFtpErrorCount, 1);
    EXPECT_EQ(rig.host.uploadsShown, 1);
    EXPECT_EQ(rig.host.errorsShown, 1);
    ASSERT_EQ(rig.host.ftpErrorLines.size(), 1);
    EXPECT_TRUE(rig.host.ftpErrorLines[0].startsWith(QStringLiteral(" 1- 550-")))
        << rig.host.ftpErrorLines[0];

    const QByteArray page = serverFile(server, QStringLiteral("hostvane.html"));
    EXPECT_EQ(page, rig.world.readFile(QStringLiteral("hostvane.htm")));
    EXPECT_TRUE(page.contains("http://10.1.2.3/"));
    EXPECT_EQ(rig.check.sPreviousIP, QStringLiteral("10.1.2.3"));
}

TEST_F(PublishTest, ChangedAddressReplacesThePageUnchangedOneLeavesItAlone)
{
    rig.check.Process(false);
    address("10.7.7.7");
    rig.check.Process(false);
    EXPECT_TRUE(serverFile(server, QStringLiteral("hostvane.html")).contains("http://10.7.7.7/"));
    EXPECT_EQ(rig.driver.lUploadCount, 2);
    EXPECT_EQ(rig.driver.lFtpErrorCount, 1) << "the second DELETE finds the page";

    QFile::remove(server.home() + QStringLiteral("/hostvane.html"));
    rig.check.Process(false);
    EXPECT_TRUE(history().contains(QStringLiteral("No need to update at this time")));
    EXPECT_FALSE(QFile::exists(server.home() + QStringLiteral("/hostvane.html")));

    rig.check.Process(true);
    EXPECT_TRUE(serverFile(server, QStringLiteral("hostvane.html")).contains("http://10.7.7.7/"))
        << "a forced check publishes the unchanged address";
}

TEST_F(PublishTest, TargetDirectoryRelativeToTheLogin)
{
    ASSERT_TRUE(QDir(server.home()).mkdir(QStringLiteral("pub")));
    rig.settings.sTargetdir = QStringLiteral("pub/");
    rig.check.Process(false);
    EXPECT_TRUE(
        serverFile(server, QStringLiteral("pub/hostvane.html")).contains("http://10.1.2.3/"));
    EXPECT_FALSE(QFile::exists(server.home() + QStringLiteral("/hostvane.html")));
    EXPECT_EQ(rig.driver.lUploadCount, 1);
}

TEST_F(PublishTest, RejectedLoginIsRetriedByTheNextScheduledCheck)
{
    rig.settings.sPword = QStringLiteral("wrong-secret");
    rig.check.Process(false);
    EXPECT_EQ(rig.driver.lUploadCount, 0);
    EXPECT_GE(rig.driver.lFtpErrorCount, 2);
    EXPECT_TRUE(history().contains(QStringLiteral("Closing FTP connection")));
    EXPECT_TRUE(history().contains(QStringLiteral("Quitting FTP")));
    EXPECT_FALSE(QFile::exists(server.home() + QStringLiteral("/hostvane.html")));
    for (const QString& line : history() + rig.host.ftpErrorLines)
        EXPECT_FALSE(line.contains(QStringLiteral("wrong-secret"))) << line;
    EXPECT_TRUE(rig.host.ftpErrorLines.last().contains(QStringLiteral("- 530-")))
        << rig.host.ftpErrorLines.last();
    EXPECT_EQ(rig.check.sPreviousIP, QString());

    rig.settings.sPword = kPassword;
    rig.check.Process(false);
    EXPECT_EQ(rig.driver.lUploadCount, 1);
    EXPECT_TRUE(serverFile(server, QStringLiteral("hostvane.html")).contains("http://10.1.2.3/"));
    EXPECT_EQ(rig.check.sPreviousIP, QStringLiteral("10.1.2.3"));
}

TEST_F(PublishTest, ServerThatIsNotListening)
{
    rig.settings.sTargetUrl =
        QStringLiteral("FTP://127.0.0.1:") + QString::number(LoopbackServer::UnusedPort());
    rig.check.Process(false);
    EXPECT_EQ(rig.driver.lUploadCount, 0);
    EXPECT_GE(rig.driver.lFtpErrorCount, 2);
    EXPECT_TRUE(history().contains(QStringLiteral("Quitting FTP")));
    EXPECT_EQ(rig.check.sPreviousIP, QString());
}

TEST_F(PublishTest, MissingTemplatesSkipTheTransferButStillQuit)
{
    QFile::remove(QStringLiteral("template/hostvane.inp"));
    rig.check.Process(false);
    ASSERT_EQ(rig.prompt.shown.size(), 1);
    EXPECT_EQ(rig.prompt.shown[0].text,
              QStringLiteral("Unable to copy template\\hostvane.inp file."));
    const qsizetype preparing =
        history().indexOf(QStringLiteral("Preparing to upload new redirector page"));
    ASSERT_GE(preparing, 0);
    EXPECT_EQ(history().at(preparing + 1), QStringLiteral("Quitting FTP"));
    EXPECT_FALSE(history().contains(QStringLiteral("Deleting old redirector page")));
    EXPECT_EQ(rig.driver.lUploadCount, 0);
    EXPECT_EQ(rig.host.uploadsShown, 0);
}

TEST_F(PublishTest, UserTemplateReachesTheServer)
{
    rig.world.writeFile(QStringLiteral("hostvane.inp"),
                        "<a href=\"http://~ip~:8080/\">~Ip~</a> ~IP~\n~IP~\nno marker\n");
    rig.check.Process(false);
    EXPECT_EQ(
        serverFile(server, QStringLiteral("hostvane.html")),
        QByteArray("<a href=\"http://10.1.2.3:8080/\">~Ip~</a> ~IP~\r\n10.1.2.3\r\nno marker\r\n"));
}

TEST(PublishSilentServer, EndsWithinTheTimeoutAndStaysResponsive)
{
    LoopbackServer silent = LoopbackServer::Silent();
    EngineRig rig;
    rig.world.installListingScript(DialUpListing("10.1.2.3"));
    rig.settings.sTargetUrl = silent.url();
    const EventLoopTicker ticker(250);
    QElapsedTimer elapsed;
    elapsed.start();
    rig.check.Process(false);
    const qint64 ms = elapsed.elapsed();
    // DELETE and PUT each wait out the 10 s time-out; nothing else waits.
    EXPECT_LT(ms, 2 * (EngineTimeouts().requestSeconds + 3) * 1000);
    EXPECT_GE(ticker.ticks(), static_cast<int>(ms / 250) - 8)
        << "the program froze during the transfer";
    EXPECT_EQ(rig.driver.lUploadCount, 0);
    EXPECT_GE(rig.driver.lFtpErrorCount, 2);
    EXPECT_TRUE(rig.host.history.contains(QStringLiteral("Quitting FTP")));
}

} // namespace
