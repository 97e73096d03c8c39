#include "support/EngineRig.h"
#include "support/EventLoopTicker.h"
#include "support/FileBytes.h"
#include "support/LoopbackServer.h"
#include "support/MisbehavingSshAgent.h"
#include "support/SshServer.h"
#include "support/TestCertificates.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <iostream>
#include <memory>
#include <optional>

#include <gtest/gtest.h>
#include <sys/stat.h>

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
    return FileBytes(server.home() + QLatin1Char('/') + relative);
}

class PublishTest : public ::testing::Test
{
protected:
    PublishTest() : server(LoopbackServer::Ftp(kUser, kPassword))
    {
        rig.settings.sHost = server.address();
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
    EXPECT_EQ(history().value(history().size() - 2),
              QStringLiteral("Page published and verified: /hostvane.html on ") +
                  rig.settings.sHost);
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
        {"http://%1", "names a protocol other than ftp://, ftpes://, ftps:// or sftp://"},
        {"sftp://127.0.0.1:50022/www", "holds the directory \"/www\"; enter only the server"},
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

// Hostile settings: nothing at all reaches the server, and the error names the setting.
TEST_F(PublishTest, ControlCharactersAndOverlongSettingsAreNeverSent)
{
    const QChar nul(u'\0');
    const char* control = "control character";
    const struct
    {
        QString Settings::*setting;
        QString value;
        const char* named;
        const char* reason;
    } cases[] = {
        {&Settings::sTargetdir, QStringLiteral("www\r\nDELE /x\r\nX/"), "(Dir)", control},
        {&Settings::sTargetdir, QStringLiteral("www\n/"), "(Dir)", control},
        {&Settings::sTargetdir, QStringLiteral("www") + nul + QStringLiteral("/"), "(Dir)",
         control},
        {&Settings::sTargetdir, QStringLiteral("w\tw/"), "(Dir)", control},
        {&Settings::sTargetdir, QStringLiteral("\x1b[2J/"), "(Dir)", control},
        {&Settings::sTargetdir, QString(100000, u'd') + QLatin1Char('/'), "(Dir)", "too long"},
        {&Settings::sUser, QStringLiteral("webmaster\r\nDELE hostvane.html"), "(User)", control},
        {&Settings::sUser, QStringLiteral("web\x7fmaster"), "(User)", control},
        {&Settings::sPword, QStringLiteral("pa55\rword"), "(Pword)", control},
        {&Settings::sPword, kPassword + nul, "(Pword)", control},
        {&Settings::sPword, QString(1001, u'p'), "(Pword)", "too long"},
        {&Settings::sProxy, QStringLiteral("127.0.0.1:3128\x1f"), "(Proxy)", control},
        {&Settings::sTargetUrl, rig.settings.sTargetUrl + QStringLiteral("\nDELE x"), "(Host)",
         control},
        {&Settings::sTargetUrl, rig.settings.sTargetUrl + QStringLiteral("\a"), "(Host)", control},
    };
    const Settings good = rig.settings;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.named + std::string(" ") + c.reason);
        rig.settings = good;
        rig.settings.*c.setting = c.value;
        const PublishOutcome outcome = forcedPublish(rig);
        EXPECT_EQ(outcome.uploads, 0);
        ASSERT_EQ(outcome.errorLines.size(), 2);
        for (const QString& line : outcome.errorLines) {
            EXPECT_TRUE(line.contains(QLatin1String(c.named))) << line;
            EXPECT_TRUE(line.contains(QLatin1String(c.reason))) << line;
            EXPECT_FALSE(line.contains(QStringLiteral("pa55"))) << line;
        }
    }
    EXPECT_EQ(server.commands(), QStringList()) << "not even a connection was made";
}

// Hostile replies: control characters are shown escaped, and the password is masked only where
// masking hides it rather than giving it away.
TEST(PublishHostileServer, RepliesAreShownEscapedAndThePasswordMaskedWhole)
{
    const struct
    {
        const char* password;
        const char* reply;   // ftp_server.py's --reply
        const char* shownAs; // in the last error line
    } cases[] = {
        {"pa55-word", "DELE=550 gone\\x1b]0;owned\\x07\\x1b[2J",
         "550 gone\\x1b]0;owned\\x07\\x1b[2J"},
        {"pa55-word", "DELE=550 one\\rhidden\\x08\\x9b", "550 one\\x0dhidden\\x08\\x9b"},
        {"5", "PASS=530 Authentication failed", "530-530 Authentication failed"},
        {"pa55-word", "PASS=530 pa55-word is not pa55-words", "530 ******** is not ********s"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply);
        const QString password = QLatin1String(c.password);
        const LoopbackServer server = LoopbackServer::Ftp(
            kUser, password, {QStringLiteral("--reply"), QString::fromLatin1(c.reply)});
        EngineRig rig;
        rig.world.installListingScript(DialUpListing("10.1.2.3"));
        rig.settings.sTargetUrl = server.url();
        rig.settings.sUser = kUser;
        rig.settings.sPword = password;
        const PublishOutcome outcome = forcedPublish(rig);
        ASSERT_FALSE(outcome.errorLines.isEmpty());
        EXPECT_TRUE(outcome.errorLines.last().contains(QLatin1String(c.shownAs)))
            << outcome.errorLines.last();
        for (const QString& line : outcome.errorLines + rig.host.history) {
            for (const QChar ch : line)
                EXPECT_NE(ch.category(), QChar::Other_Control) << line;
        }
    }
}

// Every command names the page the same way: dot segments are resolved before any is sent,
// but for the ".." that a relative directory beside the login directory starts with.
TEST_F(PublishTest, TheTargetDirectoryReachesTheServerResolved)
{
    ASSERT_TRUE(QDir(server.home()).mkdir(QStringLiteral("www")));
    const struct
    {
        const char* directory;
        const char* sentAs;
        const char* landsIn;
    } cases[] = {
        {"../www/", "../www/", "www/"},
        {"./", "", ""},
        {"//", "//", ""},
        {"www/./", "www/", "www/"},
        {"www/../www/", "www/", "www/"},
        {"/www//", "/www//", "www/"},
        {"a/../../www/", "../www/", "www/"},
        {"../../www/", "../../www/", "www/"},
        {"/../www/./", "/www/", "www/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.directory);
        const QString sentAs = QLatin1String(c.sentAs);
        const QString page = QLatin1String(c.landsIn) + QStringLiteral("hostvane.html");
        QFile::remove(server.home() + QLatin1Char('/') + page);
        const qsizetype before = server.commands().size();
        rig.settings.sTargetdir = QLatin1String(c.directory);
        EXPECT_EQ(forcedPublish(rig).uploads, 1);
        EXPECT_TRUE(serverFile(server, page).contains("10.1.2.3"));

        const QStringList sent = server.commands().mid(before);
        for (const char* verb : {"DELE ", "STOR ", "SIZE ", "RNFR ", "RNTO "}) {
            EXPECT_TRUE(std::any_of(sent.cbegin(), sent.cend(),
                                    [&](const QString& command) {
                                        return command.startsWith(QLatin1String(verb) + sentAs +
                                                                  QStringLiteral("hostvane"));
                                    }))
                << verb << sent;
        }
        EXPECT_EQ(QDir(server.home() + QLatin1Char('/') + QLatin1String(c.landsIn))
                      .entryList(QDir::Files),
                  QStringList({QStringLiteral("hostvane.html")}));
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
        const char* reason = "";  // in the last error line when not published
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
        {"a FIFO in place of ftp-ca.pem", "explicit", "trusted", "ftpes://", "fifo", false, "",
         "ftp-ca.pem is not a regular file"},
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
        if (trusted == QLatin1String("fifo"))
            ASSERT_EQ(::mkfifo("ftp-ca.pem", 0600), 0); // nobody ever writes to it
        else if (trusted == QLatin1String("ca"))
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
        EXPECT_TRUE(outcome.errorLines.last().contains(QLatin1String(c.reason)))
            << outcome.errorLines.last();
    }
}

} // namespace

namespace {

// The history of a forced publish from its DELETE to its QUIT, but for the line that names
// the server it reached.
QStringList publishLines(EngineRig& rig)
{
    rig.check.Process(true);
    const QStringList& history = rig.host.history;
    const qsizetype from = history.indexOf(QStringLiteral("Deleting old redirector page"));
    QStringList lines = history.mid(from, history.size() - 1 - from); // not the finish time
    lines.removeIf([](const QString& line) { return line.startsWith(u"Page published"); });
    return lines;
}

// Over SFTP to a real sshd: the same lines and counters as over FTP, and no key or password
// offered to a server whose host key is not trusted.
TEST_F(PublishTest, OverSftpOnlyAKnownServerGetsTheLoginAndThePage)
{
    struct Case
    {
        const char* why;
        const char* known;     // where the server's key is known: "user", "program", "other", ""
        bool password;         // else the key ~/.ssh/id_ed25519
        const char* directory; // %h stands for the server's home
        const char* landsIn;   // below the server's home
        const char* reason;    // in the last error line when not published
        bool viaProxy = false;
        std::optional<MisbehavingSshAgent::Behaviour> agent = {}; // at SSH_AUTH_SOCK
        bool passphrase = false;                                  // the key file has one
        bool ecdsaToo = false; // the server also offers an ECDSA host key
    };
    using Agent = MisbehavingSshAgent::Behaviour;
    const auto pastAgent = [](const char* why, Agent agent) {
        return Case{why, "program", false, "/", "", nullptr, false, agent};
    };
    const Case cases[] = {
        {"password login", "program", true, "/", "", nullptr},
        {"key login", "user", false, "/", "", nullptr},
        {"below the login directory", "program", false, "pub/", "pub", nullptr},
        {"an absolute directory", "program", false, "%h/abs/", "abs", nullptr},
        {"through the HTTP proxy", "program", false, "/", "", nullptr, true},
        {"beside the login directory", "program", false, "../home/pub/", "pub", nullptr},
        {"an unknown host key", "", true, "/", "", "is not known"},
        {"a changed host key", "other", false, "/", "", "has CHANGED"},
        {"a revoked host key beside a plain line", "revoked", false, "/", "",
         "REVOKED HOST KEY DETECTED"},
        {.why = "a key protected by a passphrase",
         .known = "program",
         .password = false,
         .directory = "/",
         .landsIn = "",
         .reason = "is protected by a passphrase",
         .passphrase = true},
        {.why = "the known ed25519 key beside an ECDSA one",
         .known = "user",
         .password = false,
         .directory = "/",
         .landsIn = "",
         .reason = nullptr,
         .ecdsaToo = true},
        // An agent that fails the question for its keys is passed over for the key file,
        // within its time limit, however it fails.
        pastAgent("past a silent agent", Agent::Silent),
        pastAgent("past an agent talking nonsense", Agent::Garbage),
        pastAgent("past an agent claiming 2 GB", Agent::HugeAnswer),
        pastAgent("past an agent that hangs up", Agent::ClosesAfterRequest),
    };
    const QStringList overFtp = publishLines(rig); // the fixture's FTP server
    qunsetenv("SSH_AUTH_SOCK");                    // a developer's agent would log in first
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const SshServer sshd(c.ecdsaToo);
        if (c.password && sshd.password().isEmpty()) {
            std::cerr << "skipped, sshd checks passwords only when run as root: " << c.why << "\n";
            continue;
        }
        sshd.makeDirectory(QStringLiteral("pub"));
        sshd.makeDirectory(QStringLiteral("abs"));
        EngineRig sftp; // with a home of its own
        sftp.world.installListingScript(DialUpListing("10.1.2.3"));
        const QString port = QString::number(sshd.port());
        sftp.settings.sTargetUrl = QStringLiteral("FTP://sftp://127.0.0.1:") + port;
        sftp.settings.sUser = sshd.user();
        sftp.settings.sPword = c.password ? sshd.password() : QStringLiteral("not-this-one");
        sftp.settings.sTargetdir =
            QString::fromLatin1(c.directory).replace(QStringLiteral("%h"), sshd.home());
        const QString ssh = QDir::homePath() + QStringLiteral("/.ssh/");
        QDir().mkpath(ssh);
        if (!c.password) {
            MakeSshKey(ssh + QStringLiteral("id_ed25519"),
                       c.passphrase ? QStringLiteral("not typed") : QString());
            sshd.authorize(ssh + QStringLiteral("id_ed25519.pub"));
        }
        const QString known = QLatin1String(c.known);
        QByteArray knownLine = sshd.knownHostsLine();
        if (known == QLatin1String("other"))
            knownLine = knownLine.split(' ').value(0) +
                        " ssh-ed25519 AAAAC3NzaC1lZDI1NTE5AAAAIKN"
                        "Bn7hRnZhcQSSyuvpipbEFgCf0EWEUMDY3XeR1+ZIb\n";
        if (known == QLatin1String("revoked"))
            knownLine += "@revoked " + knownLine;
        std::optional<MisbehavingSshAgent> agent;
        if (c.agent) {
            agent.emplace(*c.agent);
            qputenv("SSH_AUTH_SOCK", QFile::encodeName(agent->socketPath()));
        }
        QFile knownHosts(known == QLatin1String("user") ? ssh + QStringLiteral("known_hosts")
                                                        : QStringLiteral("known_hosts"));
        ASSERT_TRUE(known.isEmpty() ||
                    (knownHosts.open(QIODevice::WriteOnly) && knownHosts.write(knownLine) > 0));
        knownHosts.close();
        std::unique_ptr<LoopbackServer> proxy;
        if (c.viaProxy) {
            proxy = std::make_unique<LoopbackServer>(LoopbackServer::ConnectProxy());
            sftp.settings.sProxy = proxy->address();
        }

        const qsizetype before = sftp.host.ftpErrorLines.size();
        const QStringList lines = publishLines(sftp);
        qunsetenv("SSH_AUTH_SOCK");
        const QStringList errors = sftp.host.ftpErrorLines.mid(before);
        if (!sshd.password().isEmpty()) {
            EXPECT_FALSE((lines + errors).join(QLatin1Char('|')).contains(sshd.password()));
        }
        const QString landsIn = sshd.home() + QLatin1Char('/') + QLatin1String(c.landsIn);
        if (!c.reason) {
            EXPECT_EQ(lines, overFtp) << errors;
            EXPECT_EQ(errors.size(), 1) << "only the DELETE of a page not there yet";
            EXPECT_TRUE(errors.value(0).contains(QStringLiteral("No such file"))) << errors;
            EXPECT_EQ(QDir(landsIn).entryList(QDir::Files | QDir::Hidden),
                      QStringList({QStringLiteral("hostvane.html")}));
            QFile page(landsIn + QStringLiteral("/hostvane.html"));
            EXPECT_TRUE(page.open(QIODevice::ReadOnly) &&
                        page.readAll() == sftp.world.readFile(QStringLiteral("hostvane.htm")));
            EXPECT_TRUE(!proxy || proxy->tunnelsOpened() >= 1);
            continue;
        }
        EXPECT_EQ(sftp.driver.lUploadCount, 0);
        ASSERT_EQ(errors.size(), 2);
        if (c.passphrase) {
            EXPECT_TRUE(errors.last().contains(QLatin1String(c.reason))) << errors.last();
            continue;
        }
        for (const QString& wanted :
             QStringList{QLatin1String(c.reason), QStringLiteral("127.0.0.1 port ") + port,
                         QStringLiteral("ssh-ed25519 SHA256:")}) {
            EXPECT_TRUE(errors.last().contains(wanted)) << errors.last();
        }
        const QByteArray log = sshd.log();
        EXPECT_FALSE(log.contains("method password") || log.contains("method publickey"))
            << "a password or a key was offered";
        EXPECT_EQ(QDir(sshd.home()).entryList(QDir::Files | QDir::Hidden), QStringList());
        ASSERT_EQ(sftp.ftp1.UnknownHostKey().has_value(), known.isEmpty())
            << "a changed key is not offered to be trusted";
        if (known.isEmpty()) {
            EXPECT_TRUE(errors.last().contains(QStringLiteral("ssh-keyscan -p ") + port));
            // What File > Update now offers: the key shown is trusted, and the publish goes on.
            EXPECT_TRUE(errors.last().contains(sftp.ftp1.UnknownHostKey()->fingerprint()));
            ASSERT_TRUE(Inet::TrustHostKey(*sftp.ftp1.UnknownHostKey()));
            EXPECT_EQ(forcedPublish(sftp).uploads, 1);
        }
    }
}

} // namespace
