#include "support/EngineRig.h"
#include "support/EventLoopTicker.h"
#include "support/LoopbackServer.h"
#include "support/TestCertificates.h"

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

namespace {

// What one forced publish changed in the counters, and the error lines it listed.
struct PublishOutcome
{
    int uploads = 0;
    int errors = 0;
    QStringList errorLines;
};

PublishOutcome forcedPublish(EngineRig& rig)
{
    const int uploads = rig.driver.lUploadCount;
    const int errors = rig.driver.lFtpErrorCount;
    const qsizetype lines = rig.host.ftpErrorLines.size();
    rig.check.Process(true);
    return {rig.driver.lUploadCount - uploads, rig.driver.lFtpErrorCount - errors,
            rig.host.ftpErrorLines.mid(lines)};
}

TEST_F(PublishTest, TheHostsFormsAndTheReasonWhenOneCannotBeUsed)
{
    const struct
    {
        const char* host;   // %1 stands for "127.0.0.1:<port of the server>"
        const char* reason; // in both error lines when the host cannot be used
    } cases[] = {
        {"%1", nullptr},
        {"ftp://%1", nullptr},
        {"FTP://%1/", nullptr},
        {"", "The host is empty"},
        {"ftp://", "The host is empty"},
        {"127.0.0 .1", "holds a blank"},
        {"127.0.0.1:0", "not a number from 1 to 65535"},
        {"127.0.0.1:65536", "not a number from 1 to 65535"},
        {"127.0.0.1:", "not a number from 1 to 65535"},
        {"127.0.0.1:21x", "not a number from 1 to 65535"},
        {"http://%1", "names a protocol other than ftp://, ftpes:// or ftps://"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.host);
        QFile::remove(server.home() + QStringLiteral("/hostvane.html"));
        const qsizetype commandsBefore = server.commands().size();
        rig.settings.sTargetUrl =
            QStringLiteral("FTP://") +
            QString::fromLatin1(c.host).replace(QStringLiteral("%1"), server.address());
        const PublishOutcome outcome = forcedPublish(rig);
        if (!c.reason) {
            EXPECT_EQ(outcome.uploads, 1) << outcome.errorLines;
            EXPECT_TRUE(serverFile(server, QStringLiteral("hostvane.html")).contains("10.1.2.3"));
            continue;
        }
        EXPECT_EQ(outcome.uploads, 0);
        EXPECT_EQ(outcome.errors, 2) << "the DELETE and the PUT are each counted";
        ASSERT_EQ(outcome.errorLines.size(), 2);
        for (const QString& line : outcome.errorLines)
            EXPECT_TRUE(line.contains(QLatin1String(c.reason))) << line;
        EXPECT_EQ(server.commands().size(), commandsBefore);
    }
}

TEST_F(PublishTest, LineBreaksInTheSettingsAreNeverSent)
{
    const QChar nul(u'\0');
    const struct
    {
        QString Settings::*setting;
        QString value;
        const char* named;
    } cases[] = {
        {&Settings::sTargetdir, QStringLiteral("www\r\nDELE /x\r\nX/"), "(Dir)"},
        {&Settings::sTargetdir, QStringLiteral("www\n/"), "(Dir)"},
        {&Settings::sTargetdir, QStringLiteral("www") + nul + QStringLiteral("/"), "(Dir)"},
        {&Settings::sUser, QStringLiteral("webmaster\r\nDELE hostvane.html"), "(User)"},
        {&Settings::sPword, QStringLiteral("pa55\rword"), "(Pword)"},
        {&Settings::sPword, kPassword + nul, "(Pword)"},
        {&Settings::sTargetUrl, rig.settings.sTargetUrl + QStringLiteral("\nDELE x"), "(Host)"},
    };
    const Settings good = rig.settings;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.named);
        rig.settings = good;
        rig.settings.*c.setting = c.value;
        const PublishOutcome outcome = forcedPublish(rig);
        EXPECT_EQ(outcome.uploads, 0);
        ASSERT_EQ(outcome.errorLines.size(), 2);
        for (const QString& line : outcome.errorLines) {
            EXPECT_TRUE(line.contains(QLatin1String(c.named))) << line;
            EXPECT_FALSE(line.contains(QStringLiteral("pa55"))) << line;
        }
    }
    EXPECT_EQ(server.commands(), QStringList()) << "not even a connection was made";
}

TEST_F(PublishTest, TheTargetDirectoryReachesTheServerAsWritten)
{
    ASSERT_TRUE(QDir(server.home()).mkdir(QStringLiteral("www")));
    const struct
    {
        const char* directory;
        const char* landsIn;
    } cases[] = {
        {"../www/", "www/"},     {"./", ""},         {"//", ""}, {"www/./", "www/"},
        {"www/../www/", "www/"}, {"/www//", "www/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.directory);
        const QString directory = QLatin1String(c.directory);
        const QString page = QLatin1String(c.landsIn) + QStringLiteral("hostvane.html");
        QFile::remove(server.home() + QLatin1Char('/') + page);
        const qsizetype before = server.commands().size();
        rig.settings.sTargetdir = directory;
        EXPECT_EQ(forcedPublish(rig).uploads, 1);
        EXPECT_TRUE(serverFile(server, page).contains("10.1.2.3"));

        const QStringList sent = server.commands().mid(before);
        EXPECT_TRUE(
            sent.contains(QStringLiteral("DELE ") + directory + QStringLiteral("hostvane.html")))
            << sent;
        EXPECT_TRUE(
            sent.contains(QStringLiteral("RNTO ") + directory + QStringLiteral("hostvane.html")))
            << sent;
        for (const QString& command : sent) {
            const QString verb = command.section(QLatin1Char(' '), 0, 0);
            if (QStringList{QStringLiteral("DELE"), QStringLiteral("STOR"), QStringLiteral("SIZE"),
                            QStringLiteral("RNFR"), QStringLiteral("RNTO")}
                    .contains(verb)) {
                EXPECT_TRUE(command.startsWith(verb + QLatin1Char(' ') + directory)) << command;
            }
        }
    }
}

TEST(PublishOverTls, OnlyAVerifiedServerGetsTheLoginAndThePage)
{
    const struct
    {
        const char* why;
        const char* server;      // "explicit", "implicit" or "" for plain FTP
        const char* certificate; // the server's
        const char* scheme;      // in front of the host
        const char* trusted;     // what ftp-ca.pem holds: "ca", a server's certificate or ""
        bool published;
        const char* options = ""; // further switches of ftp_server.py
    } cases[] = {
        {"explicit TLS", "explicit", "trusted", "ftpes://", "ca", true},
        {"implicit TLS", "implicit", "trusted", "ftps://", "ca", true},
        {"a server that wants the TLS session reused for data", "explicit", "trusted", "ftpes://",
         "ca", true, "--require-session-reuse"},
        {"an authority not trusted", "explicit", "trusted", "ftpes://", "", false},
        {"a certificate for another host", "explicit", "wrong-name", "ftpes://", "ca", false},
        {"a self-signed certificate in ftp-ca.pem", "explicit", "self-signed", "ftpes://",
         "self-signed", true},
        {"a self-signed certificate not trusted", "implicit", "self-signed", "ftps://", "ca",
         false},
        {"a server without TLS", "", "", "ftpes://", "ca", false},
        {"implicit TLS to a server without TLS", "", "", "ftps://", "ca", false},
        {"plain FTP to an IPv6 server", "", "", "", "", true, "--bind ::1"},
        {"explicit TLS to an IPv6 server", "explicit", "trusted", "ftpes://", "ca", true,
         "--bind ::1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        const QString mode = QLatin1String(c.server);
        const QStringList options =
            QString::fromLatin1(c.options).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const LoopbackServer server =
            mode.isEmpty() ? LoopbackServer::Ftp(kUser, kPassword, options)
                           : LoopbackServer::FtpOverTls(kUser, kPassword,
                                                        mode == QLatin1String("explicit")
                                                            ? LoopbackServer::ExplicitTls
                                                            : LoopbackServer::ImplicitTls,
                                                        QLatin1String(c.certificate), options);
        EngineRig rig;
        rig.world.installListingScript(DialUpListing("10.1.2.3"));
        rig.settings.sTargetUrl =
            QStringLiteral("FTP://") + QLatin1String(c.scheme) + server.address();
        rig.settings.sUser = kUser;
        rig.settings.sPword = kPassword;
        const QString trusted = QLatin1String(c.trusted);
        if (trusted == QLatin1String("ca"))
            rig.world.writeFile(QStringLiteral("ftp-ca.pem"), TestCertificates::authority());
        else if (!trusted.isEmpty())
            rig.world.writeFile(QStringLiteral("ftp-ca.pem"),
                                TestCertificates::certificate(trusted));

        const PublishOutcome outcome = forcedPublish(rig);
        const QStringList sent = server.commands();
        const qsizetype login = sent.indexOf(QStringLiteral("USER ") + kUser);
        for (const QString& line : outcome.errorLines)
            EXPECT_FALSE(line.contains(kPassword)) << line;
        if (c.published) {
            EXPECT_EQ(outcome.uploads, 1) << outcome.errorLines;
            EXPECT_TRUE(serverFile(server, QStringLiteral("hostvane.html")).contains("10.1.2.3"));
            ASSERT_GE(login, 0) << sent;
            if (mode == QLatin1String("explicit")) {
                EXPECT_EQ(sent.indexOf(QStringLiteral("AUTH TLS")), 0) << sent;
            }
            continue;
        }
        EXPECT_EQ(outcome.uploads, 0);
        EXPECT_EQ(outcome.errors, 2);
        EXPECT_EQ(login, -1) << "the login never goes to a server not verified: " << sent;
        EXPECT_FALSE(QFile::exists(server.home() + QStringLiteral("/hostvane.html")));
        ASSERT_FALSE(outcome.errorLines.isEmpty());
        EXPECT_GT(outcome.errorLines.last().section(QLatin1Char('-'), 2).size(), 10)
            << "a reason a person can read: " << outcome.errorLines.last();
    }
}

} // namespace
