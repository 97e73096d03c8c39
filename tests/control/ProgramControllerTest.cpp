#include "control/ProgramController.h"
#include "components/ServiceEventLog.h"
#include "control/ProgramView.h"
#include "engine/UpdateEngine.h"
#include "platform/SecretStore.h"
#include "support/FileBytes.h"
#include "support/KeyringDaemon.h"
#include "support/LoopbackServer.h"
#include "support/ManualClock.h"
#include "support/PrivateSessionBus.h"
#include "support/RecordingRunner.h"
#include "support/ScriptedPrompt.h"
#include "support/SshServer.h"
#include "support/TempWorld.h"
#include "system/InstanceGuard.h"
#include "system/RuntimeFormat.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <memory>

#include <gtest/gtest.h>

namespace {

// What the controller asked of its window, one entry a call, with its argument.
class RecordingView final : public ProgramView
{
public:
    void Notify(const QString& title, const QString& text) override
    {
        calls << QStringLiteral("Notify %1: %2").arg(title, text);
    }
    void StartupBegins() override { calls << QStringLiteral("StartupBegins"); }
    void StartupEnds() override { calls << QStringLiteral("StartupEnds"); }
    void ShowMain(bool StartMinimized) override
    {
        calls << QStringLiteral("ShowMain %1").arg(StartMinimized);
    }
    void RaiseWindow(const QByteArray& activationToken) override
    {
        calls << QStringLiteral("RaiseWindow") + QString::fromLatin1(activationToken);
    }
    void HideWindow() override { calls << QStringLiteral("HideWindow"); }
    bool Unseen() const override { return unseen; }
    void EnableTrayIcon(bool TrueFalse) override
    {
        calls << QStringLiteral("EnableTrayIcon %1").arg(TrueFalse);
    }
    void QuitHelp() override { calls << QStringLiteral("QuitHelp"); }
    QString Caption() const override { return caption; }
    void SetCaption(const QString& text) override
    {
        caption = text;
        calls << QStringLiteral("SetCaption ") + text;
    }
    void ShowStarted(const QString&) override { calls << QStringLiteral("ShowStarted"); }
    void ShowTime(const QString&) override {}
    void ShowWaitTime(const QString& text) override { waitText = text; }
    void ShowAddressPanel(const QString& text, const QString& ipv6Text) override
    {
        calls << QStringLiteral("ShowAddressPanel %1|%2").arg(text, ipv6Text);
    }
    void ShowAutoUpdate(bool TrueFalse) override
    {
        calls << QStringLiteral("ShowAutoUpdate %1").arg(TrueFalse);
    }
    void ControlsEnable(bool TrueFalse) override
    {
        calls << QStringLiteral("ControlsEnable %1").arg(TrueFalse);
    }
    void ClearEvents() override { events.clear(); }
    void ShowEvent(const QString& line) override { events << line; }
    void ShowFtpStats(qint32, qint32) override {}
    void ShowFtpError(const QString&) override {}

    QStringList calls;
    QStringList events;
    QString caption = QStringLiteral("HostVane");
    QString waitText;
    bool unseen = false;
};

// System log entries as "<type> [<id>] <text>".
class RecordingEventLog final : public ServiceEventLog
{
public:
    void LogEvent(qint16 eventType, qint32 eventId, const QString& text) override
    {
        entries.append(QStringLiteral("%1 [%2] %3").arg(eventType).arg(eventId).arg(text));
    }
    QStringList entries;
};

const QByteArray kListing = "HostVane IP Configuration\n\nNdisWan adapter ppp0 (PPP Adapter):\n\n"
                            "        IP Address. . . . . . . . . : 10.1.2.3\n";

struct Program
{
    explicit Program(ManualClock& clock, ScriptedPrompt& prompt, SecretStore* keyring = nullptr)
        : controller(clock, prompt, runner, cWinVer::WindowsNT, {.settleSeconds = 0})
    {
        controller.setView(view);
        controller.setSecretStore(keyring);
    }
    RecordingRunner runner;
    RecordingView view;
    ProgramController controller;
};

// A world whose address script lists ppp0 with 10.1.2.3, and a clock and prompt for programs.
class ProgramControllerTest : public ::testing::Test
{
protected:
    ProgramControllerTest() { world.installListingScript(kListing); }

    // A program started on `settings` (on the file as it is, for none), unseen by the user.
    Program& started(const QByteArray& settings, SecretStore* keyring = nullptr)
    {
        if (!settings.isNull())
            world.writeSettings(settings);
        m_program = std::make_unique<Program>(clock, prompt, keyring);
        EXPECT_TRUE(m_program->controller.Form_Load());
        m_program->view.unseen = true;
        return *m_program;
    }

    TempWorld world;
    ManualClock clock;
    ScriptedPrompt prompt;
    std::unique_ptr<Program> m_program;
};

} // namespace

// The start-up runs in its order without a window, and a second start in the same session is
// refused: it says so, ends, and brings the first one's window to the front.
TEST_F(ProgramControllerTest, StartsUpInOrderAndRefusesASecondInstance)
{
    Program& first = started("[Settings]\nHost=127.0.0.1:1\nAutoProcess=001\nStartMinimized=001\n");
    EXPECT_EQ(first.view.calls,
              QStringList({QStringLiteral("StartupBegins"), QStringLiteral("ShowAutoUpdate 0"),
                           QStringLiteral("ShowAutoUpdate 1"), QStringLiteral("ShowMain 1"),
                           QStringLiteral("EnableTrayIcon 1"), QStringLiteral("ShowStarted"),
                           QStringLiteral("ControlsEnable 1"), QStringLiteral("ShowAutoUpdate 1"),
                           QStringLiteral("StartupEnds")}));
    EXPECT_TRUE(first.controller.Ticking());
    EXPECT_TRUE(first.view.waitText.startsWith(QStringLiteral("Next check: ")));

    Program second(clock, prompt);
    EXPECT_FALSE(second.controller.Form_Load());
    EXPECT_EQ(second.view.caption, QStringLiteral("nfg"));
    EXPECT_FALSE(second.controller.Ticking());
    ASSERT_EQ(prompt.shown.size(), 1);
    EXPECT_EQ(prompt.shown[0].text, QStringLiteral("This program is already running."));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return first.view.calls.contains(QStringLiteral("RaiseWindow")); }));
}

// A due tick runs the check into the view's history; a failed publish the user cannot see is
// told on the desktop, once.
TEST_F(ProgramControllerTest, ADueTickChecksAndAnUnseenFailureIsToldOnce)
{
    Program& program = started("[Settings]\nHost=127.0.0.1:1\nAutoProcess=001\n");
    const qsizetype before = program.view.calls.size();
    program.controller.timSeconds_Timer();
    EXPECT_TRUE(program.view.events.contains(QStringLiteral("IP resolved: 10.1.2.3")));
    EXPECT_TRUE(
        program.view.events.last().startsWith(QStringLiteral("Finished update processing")));
    // What the window shows around a check follows from what the check came to.
    // The first tick also asserts the tray icon.
    EXPECT_EQ(program.view.calls.mid(before + 1, 5),
              QStringList({QStringLiteral("SetCaption HostVane-Checking"),
                           QStringLiteral("ControlsEnable 0"), QStringLiteral("ControlsEnable 1"),
                           QStringLiteral("SetCaption HostVane"),
                           QStringLiteral("ShowAddressPanel Current IP address: 10.1.2.3|")}));
    EXPECT_EQ(program.view.waitText, QStringLiteral("Next check: ") +
                                         FormatDate(clock.now().addSecs(300), kPanelTimePattern));
    program.controller.Process(true);
    EXPECT_EQ(program.view.calls.filter(QStringLiteral("Notify ")).size(), 1)
        << program.view.calls.join(QLatin1Char('|')).toStdString();
}

// With automatic checking off a due tick runs no check and tells nothing; a check asked for
// while the settings are saved (systemctl running) waits, and runs when the save is over.
TEST_F(ProgramControllerTest, NoCheckNoNewsAndACheckDuringASaveRunsAfterIt)
{
    Program& program = started("[Settings]\nHost=127.0.0.1:1\nAutoProcess=000\n");
    const qsizetype calls = program.view.calls.size();
    for (int tick = 0; tick < 3; ++tick)
        program.controller.timSeconds_Timer();
    EXPECT_TRUE(program.view.events.isEmpty());
    EXPECT_EQ(program.view.calls.mid(calls).filter(QStringLiteral("Notify")), QStringList());

    QVariantMap typed = program.controller.ShownSettings();
    typed.insert(QStringLiteral("RunAsService"), true);
    bool askedDuringSave = false;
    program.runner.onRun = [&] {
        askedDuringSave = true;
        program.controller.Process(true);
        EXPECT_TRUE(program.view.events.isEmpty()) << "a check started inside the save";
    };
    EXPECT_TRUE(program.controller.SaveSettings(typed));
    program.runner.onRun = nullptr;
    EXPECT_TRUE(askedDuringSave);
    EXPECT_TRUE(program.view.events.isEmpty());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return program.view.events.contains(QStringLiteral("IP resolved: 10.1.2.3")); }));
}

// Each check clears the history, and the next one comes the interval after the end of the last.
TEST_F(ProgramControllerTest, NextCheckCountsFromTheEndOfTheLastOne)
{
    Program& program = started("[Settings]\nHost=127.0.0.1:1\nAutoProcess=001\nRefresh=05\n");
    const auto checks = [&] {
        return program.view.events.filter(QStringLiteral("Checking IP address at: ")).size();
    };
    program.controller.timSeconds_Timer();
    ASSERT_EQ(checks(), 1);
    clock.advanceSeconds(299);
    program.controller.timSeconds_Timer();
    EXPECT_EQ(checks(), 1) << "the history of the first check is still shown";
    clock.advanceSeconds(1);
    program.controller.timSeconds_Timer();
    EXPECT_EQ(checks(), 1) << "each check clears the history";
    EXPECT_EQ(program.view.events.first(),
              QStringLiteral("Checking IP address at: Dec 06, 2026  02:56:38 am"));
    EXPECT_EQ(program.view.waitText, QStringLiteral("Next check: Dec 06, 03:01:38 am"));
}

// The service's requests: start and stop are logged, pause and continue refused, and an error
// goes to the system log, not into a box nobody would answer.
TEST_F(ProgramControllerTest, ServiceHandlersLogAndSetTheFlags)
{
    Program& program = started("[Settings]\nHost=127.0.0.1:1\n");
    ProgramController& controller = program.controller;
    RecordingEventLog log;
    controller.setEventLog(&log);
    bool success = false;
    controller.NTService1_Start(success);
    EXPECT_TRUE(success);
    EXPECT_TRUE(controller.ServiceMode() && controller.ServiceRunning());
    for (auto refuse :
         {&ProgramController::NTService1_Pause, &ProgramController::NTService1_Continue}) {
        success = true;
        (controller.*refuse)(success);
        EXPECT_FALSE(success);
        EXPECT_TRUE(controller.ServiceMode() && controller.ServiceRunning());
    }
    controller.LogError(QStringLiteral("error: 1 running getip.bat"));
    EXPECT_TRUE(prompt.shown.isEmpty()) << "nobody would answer a box in service mode";
    controller.NTService1_Stop();
    EXPECT_TRUE(controller.ServiceMode());
    EXPECT_FALSE(controller.ServiceRunning());
    EXPECT_EQ(log.entries,
              QStringList({QStringLiteral("0 [110] Hostvane Started.  Version:  1 1 3"),
                           QStringLiteral("2 [109] Hostvane-error: 1 running getip.bat"),
                           QStringLiteral("0 [110] Hostvane Stopped.  Version:  1 1 3")}));
}

// An SFTP server's unknown host key is offered to be trusted once, with its fingerprint, and
// trusting it publishes; a key that changed is told once as the warning it is.
TEST_F(ProgramControllerTest, HostKeysAreAskedAboutOnceAndTrustingPublishes)
{
    const SshServer sshd;
    const QString ssh = QDir::homePath() + QStringLiteral("/.ssh/");
    QDir().mkpath(ssh);
    MakeSshKey(ssh + QStringLiteral("id_ed25519"));
    sshd.authorize(ssh + QStringLiteral("id_ed25519.pub"));
    qunsetenv("SSH_AUTH_SOCK");
    const QByteArray settings =
        "[Settings]\nHost=sftp://127.0.0.1:" + QByteArray::number(sshd.port()) +
        "\nUser=" + sshd.user().toUtf8() + "\nAutoProcess=000\n";
    const QString page = sshd.home() + QStringLiteral("/hostvane.html");
    const auto asked = [&] { return prompt.shown.size() == 1 ? prompt.shown[0].text : QString(); };

    prompt.answers = {Prompt::Answer::Cancel};
    Program& refusing = started(settings);
    refusing.controller.Process(true);
    refusing.controller.Process(true);
    EXPECT_TRUE(
        asked().contains(QStringLiteral("no known_hosts file holds:\nssh-ed25519\nSHA256:")))
        << "asked once: " << prompt.shown.size();
    EXPECT_FALSE(QFile::exists(page));

    m_program.reset();
    prompt.shown.clear();
    Program& trusting = started(settings);
    trusting.controller.Process(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(page); }, 20000));
    EXPECT_TRUE(world.readFile(QStringLiteral("known_hosts")).contains("ssh-ed25519"));

    // Another key on file for the server: a warning, once, and nothing published.
    QFile::remove(page);
    world.writeFile(QStringLiteral("known_hosts"),
                    sshd.knownHostsLine().split(' ').value(0) +
                        " ssh-ed25519 AAAAC3NzaC1lZDI1NTE5AAAAIKNBn7hRnZhcQSSyuvpipbEFgCf0EWEUMDY3X"
                        "eR1+ZIb\n");
    prompt.shown.clear();
    trusting.controller.Process(true);
    trusting.controller.Process(true);
    EXPECT_TRUE(asked().startsWith(QStringLiteral("WARNING: HOST KEY CHANGED")))
        << asked().toStdString();
    EXPECT_EQ(asked().count(QStringLiteral("SHA256:")), 2) << "the new and the old fingerprint";
    EXPECT_FALSE(QFile::exists(page));
}

// On the desktop the passwords live in the keyring: a file that holds one keeps working, the
// first save moves it there (told once) and a later start publishes with it. A keyring that is
// locked, missing or silent leaves them in the file and says so, within its bound.
TEST_F(ProgramControllerTest, KeyringHoldsThePasswordsAndAFailingOneLeavesThemInTheFile)
{
    // The bus outlives the test: libsecret ends a process whose session bus goes away.
    static PrivateSessionBus* const bus = new PrivateSessionBus;
    ASSERT_TRUE(bus->running());
    const LoopbackServer server =
        LoopbackServer::Ftp(QStringLiteral("user"), QStringLiteral("secret1"));
    const QByteArray settings = "[Settings]\nHost=" + server.address().toUtf8() +
                                "\nUser=user\nPword=secret1\nDir=/\nAutoProcess=000\n";
    const std::unique_ptr<SecretStore> keyring =
        SecretStore::DesktopKeyring(std::chrono::seconds(1));
    const auto publishes = [](Program& program) {
        program.controller.Process(true);
        return program.view.events.filter(QStringLiteral("Page published and verified")).size() ==
               1;
    };
    const auto settingsFile = [&] { return FileBytes(world.configFile()); };
    const auto saved = [&](Program& program) {
        QVariantMap targets = program.controller.ShownTargets();
        targets.insert(QStringLiteral("DynDns/User"), QStringLiteral("dynuser"));
        targets.insert(QStringLiteral("DynDns/Password"), QStringLiteral("dynpass"));
        return program.controller.SaveSettings(program.controller.ShownSettings()) &&
               program.controller.SaveTargets(targets);
    };
    // Each state a keyring fails in: the file keeps the passwords, one line per save says so.
    const auto keptInTheFile = [&](const char* state) {
        SCOPED_TRACE(state);
        Program& program = started(settings, keyring.get());
        program.view.events.clear();
        QElapsedTimer elapsed;
        elapsed.start();
        ASSERT_TRUE(saved(program));
        EXPECT_LT(elapsed.elapsed(), 6000) << "each wait for the keyring is bounded";
        EXPECT_EQ(
            program.view.events.filter(QStringLiteral("No keyring took the passwords")).size(), 2)
            << program.view.events.join(u'\n').toStdString();
        const QByteArray file = settingsFile();
        EXPECT_TRUE(file.contains("Pword=secret1") && file.contains("Password=dynpass"))
            << file.data();
        EXPECT_TRUE(publishes(program)) << program.view.events.join(u'\n').toStdString();
    };
    {
        KeyringDaemon daemon(KeyringDaemon::Unlocked);
        ASSERT_TRUE(daemon.running());
        Program& program = started(settings, keyring.get());
        EXPECT_TRUE(publishes(program)) << program.view.events.join(u'\n').toStdString();
        program.view.events.clear();
        ASSERT_TRUE(saved(program));
        EXPECT_EQ(program.view.events,
                  QStringList(QStringLiteral(
                      "Moved the FTP password from the settings file to the keyring.")));
        const QByteArray file = settingsFile();
        EXPECT_FALSE(file.contains("secret1") || file.contains("dynpass")) << file.data();
        EXPECT_EQ(keyring->Read(QStringLiteral("dyndns-password")).secret,
                  QStringLiteral("dynpass"));

        Program& again = started(QByteArray(), keyring.get());
        EXPECT_TRUE(publishes(again)) << again.view.events.join(u'\n').toStdString();
        again.view.events.clear();
        ASSERT_TRUE(saved(again));
        EXPECT_TRUE(again.view.events.isEmpty()) << "moved once, told once";

        ASSERT_TRUE(daemon.lock());
        keptInTheFile("locked");
    }
    keptInTheFile("missing");
    const KeyringDaemon silent(KeyringDaemon::Silent);
    ASSERT_TRUE(silent.running());
    keptInTheFile("silent");
}

// The service takes a password from the credentials systemd hands it, before the file's.
TEST_F(ProgramControllerTest, ServiceTakesThePasswordFromItsCredentials)
{
    const LoopbackServer server =
        LoopbackServer::Ftp(QStringLiteral("user"), QStringLiteral("secret1"));
    world.writeFile(QStringLiteral("credentials/ftp-password"), "secret1\n");
    qputenv("CREDENTIALS_DIRECTORY",
            (world.programDir() + QStringLiteral("/credentials")).toUtf8());
    Program& program = started("[Settings]\nHost=" + server.address().toUtf8() +
                               "\nUser=user\nPword=stale\nDir=/\nAutoProcess=000\n");
    program.controller.Process(true);
    qunsetenv("CREDENTIALS_DIRECTORY");
    EXPECT_EQ(program.view.events.filter(QStringLiteral("Page published and verified")).size(), 1)
        << program.view.events.join(u'\n').toStdString();

    // Without them, passwords the desktop moved to its keyring are missing, and it says so.
    m_program.reset();
    Program& keyringless = started("[Settings]\nHost=" + server.address().toUtf8() +
                                   "\nUser=user\nDir=/\nAutoProcess=000\nKeyring=1\n");
    EXPECT_EQ(keyringless.view.events.filter(QStringLiteral("the service does not read")).size(), 1)
        << keyringless.view.events.join(u'\n').toStdString();
}
