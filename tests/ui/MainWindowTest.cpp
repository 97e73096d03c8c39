#include "support/ManualClock.h"
#include "support/ProgramWindow.h"
#include "support/ScriptedPrompt.h"
#include "support/TempWorld.h"
#include "system/InstanceGuard.h"
#include "ui/TwipsLayout.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSystemTrayIcon>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray kListing = "HostVane IP Configuration\n\nNdisWan adapter ppp0 (PPP Adapter):\n\n"
                            "        IP Address. . . . . . . . . : 10.1.2.3\n";

// Standard error goes to a file while this lives.
class StderrCapture
{
public:
    StderrCapture() : m_saved(::dup(STDERR_FILENO))
    {
        std::fflush(stderr);
        if (m_file.open())
            ::dup2(m_file.handle(), STDERR_FILENO);
    }
    ~StderrCapture() { restore(); }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    QByteArray text()
    {
        restore();
        m_file.seek(0);
        return m_file.readAll();
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
        m_saved = -1;
    }

    QTemporaryFile m_file;
    int m_saved;
};

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        world.installListingScript(kListing);
        // Nothing listens on port 1 of loopback, so a publish fails at once.
        world.writeSettings("[Settings]\nHost=127.0.0.1:1\nAutoProcess=001\nRefresh=05\n");
    }

    ProgramWindow& start()
    {
        program = std::make_unique<ProgramWindow>(clock, prompt, cWinVer::WindowsNT,
                                                  EngineTimeouts{.settleSeconds = 0});
        program->window.Form_Load();
        return *program;
    }

    QString panel(const char* name) const
    {
        return program->window.findChild<QLabel*>(QLatin1String(name))->text();
    }
    QAction* action(const char* name) const
    {
        return program->window.findChild<QAction*>(QLatin1String(name));
    }
    QStringList history() const
    {
        QStringList lines;
        auto* list = program->window.findChild<QListWidget*>(QStringLiteral("lbEvents"));
        for (int i = 0; i < list->count(); ++i)
            lines.append(list->item(i)->text());
        return lines;
    }
    int checksRun() const
    {
        return static_cast<int>(
            history().filter(QStringLiteral("Checking IP address at: ")).size());
    }

    TempWorld world;
    ManualClock clock;
    ScriptedPrompt prompt;
    std::unique_ptr<ProgramWindow> program;
};

// At a fractional scale a frame line between two device pixels is not drawn at all.
TEST(TwipsLayout, FrameLinesLieOnWholeDevicePixels)
{
    const std::tuple<double, int, QRect> cases[] = {
        {1.0, 0, {27, 189, 935, 235}},  {2.0, 25, {27, 189, 935, 235}},
        {1.5, 0, {28, 190, 935, 235}},  {1.5, 25, {28, 189, 935, 235}},
        {1.25, 0, {28, 188, 933, 237}}, {1.1, 0, {27, 189, 935, 235}}};
    for (const auto& [ratio, originY, snapped] : cases)
        EXPECT_EQ(TwipsLayout::OnDevicePixels({27, 189, 935, 235}, {0, originY}, ratio), snapped)
            << ratio << " at " << originY;
}

// The status bar makes the window wider than drawn, and the user may enlarge it further: the
// controls keep the drawn margins (180 and 144 twips) in proportion and the history takes the
// extra height.
TEST_F(MainWindowTest, ControlsFillTheWindowAsItGrows)
{
    ProgramWindow& w = start();
    const QWidget* client = w.window.centralWidget();
    const QRect& list = w.window.findChild<QListWidget*>(QStringLiteral("lbEvents"))->geometry();
    const QRect& errors = w.window.findChild<QComboBox*>(QStringLiteral("cbFtpErrMsg"))->geometry();
    const QLabel* details = nullptr;
    for (const QLabel* label : client->findChildren<QLabel*>())
        details = label->text() == QStringLiteral("Event details") ? label : details;
    const int bottomMargin = client->height() - list.bottom();
    for (const QSize& grow : {QSize(0, 0), QSize(300, 120)}) {
        w.window.resize(w.window.size() + grow);
        QTest::qWait(0);
        EXPECT_NEAR(client->width() - 1 - list.right(), list.x() * 144.0 / 180.0, 2.0);
        EXPECT_EQ(errors.right(), list.right());
        EXPECT_NEAR(details->geometry().center().x(), client->width() / 2, 6);
        EXPECT_EQ(client->height() - list.bottom(), bottomMargin);
    }
}

TEST_F(MainWindowTest, StartsWithItsControlsAndTheFirstCheckDue)
{
    ProgramWindow& w = start();
    EXPECT_EQ(w.window.windowTitle(), QStringLiteral("HostVane"));
    QStringList entries;
    for (QAction* entry : w.window.menuBar()->actions().first()->menu()->actions())
        if (!entry->isSeparator())
            entries.append(entry->text());
    EXPECT_EQ(entries, QStringList({QStringLiteral("&Update now"), QStringLiteral("&Properties"),
                                    QStringLiteral("&DNS and hook..."),
                                    QStringLiteral("Auto update"), QStringLiteral("E&xit")}));
    EXPECT_TRUE(action("mnuAutoUpdate")->isChecked());
    EXPECT_EQ(panel("Clock"), QString());
    EXPECT_EQ(panel("NextCheck"), QStringLiteral("Next check: Dec 06, 02:51:38 am"));
    EXPECT_EQ(panel("IP"), QStringLiteral("Current IP address: "));
    EXPECT_EQ(w.window.findChild<QLineEdit*>(QStringLiteral("txStarted"))->text(),
              QStringLiteral("Dec 06, 2026 02:51 AM"));
    EXPECT_EQ(w.window.findChild<QLineEdit*>(QStringLiteral("txUploads"))->text(),
              QStringLiteral(" 0"));
    EXPECT_EQ(w.window.findChild<QLineEdit*>(QStringLiteral("txErrCount"))->text(),
              QStringLiteral(" 0"));
    EXPECT_EQ(w.window.findChild<QListWidget*>(QStringLiteral("lbEvents"))->toolTip(),
              QStringLiteral("Event history of most recent update check is shown here"));

    w.controller.timSeconds_Timer();
    EXPECT_EQ(checksRun(), 1);
    EXPECT_EQ(history().last(),
              QStringLiteral("Finished update processing at: Dec 06, 2026  02:51:38 am"));
    EXPECT_EQ(panel("Clock"), QStringLiteral("Dec 06, 02:51:38 am"));
    EXPECT_EQ(panel("IP"), QStringLiteral("Current IP address: 10.1.2.3"));
    EXPECT_EQ(panel("NextCheck"), QStringLiteral("Next check: Dec 06, 02:56:38 am"));
    EXPECT_EQ(w.window.windowTitle(), QStringLiteral("HostVane"));
    EXPECT_TRUE(action("mnuProcess")->isEnabled());
    EXPECT_EQ(w.window.findChild<QListWidget*>(QStringLiteral("lbEvents"))->currentRow(),
              static_cast<int>(history().size()) - 1);

    // DELETE and PUT both fail against a port nobody listens on.
    EXPECT_EQ(w.window.findChild<QLineEdit*>(QStringLiteral("txUploads"))->text(),
              QStringLiteral(" 0"));
    EXPECT_EQ(w.window.findChild<QLineEdit*>(QStringLiteral("txErrCount"))->text(),
              QStringLiteral(" 2"));
    auto* errors = w.window.findChild<QComboBox*>(QStringLiteral("cbFtpErrMsg"));
    ASSERT_EQ(errors->count(), 2);
    EXPECT_TRUE(errors->itemText(1).startsWith(QStringLiteral(" 2-"))) << errors->itemText(1);
    EXPECT_EQ(errors->currentIndex(), -1) << "adding an error line changed the selection";
}

TEST_F(MainWindowTest, TheAddressPanelKeepsItsTextAndShowsTheIPv6AddressInItsToolTip)
{
    world.installListingScript(kListing + "        IPv6 Address. . . . . . . . : 2001:db8::5\n");
    ProgramWindow& w = start();
    w.controller.timSeconds_Timer();
    const auto* ip = w.window.findChild<QLabel*>(QStringLiteral("IP"));
    EXPECT_EQ(ip->text(), QStringLiteral("Current IP address: 10.1.2.3"));
    EXPECT_EQ(ip->toolTip(),
              QStringLiteral("IP address at last check\nCurrent IPv6 address: 2001:db8::5"));

    world.installListingScript(kListing);
    w.controller.Process(true);
    EXPECT_EQ(ip->toolTip(), QStringLiteral("IP address at last check"));
}

TEST_F(MainWindowTest, AutoUpdateOffWaitsUntilSwitchedOn)
{
    world.writeSettings("[Settings]\nHost=127.0.0.1:1\nAutoProcess=000\n");
    ProgramWindow& w = start();
    EXPECT_FALSE(action("mnuAutoUpdate")->isChecked());
    EXPECT_EQ(panel("NextCheck"), QStringLiteral("Auto update is disabled"));
    w.controller.timSeconds_Timer();
    clock.advanceSeconds(600);
    w.controller.timSeconds_Timer();
    EXPECT_TRUE(history().isEmpty());

    action("mnuAutoUpdate")->trigger();
    EXPECT_TRUE(w.controller.ShownSettings().value(QStringLiteral("AutoProcess")).toBool());
    EXPECT_TRUE(action("mnuAutoUpdate")->isChecked());
    w.controller.timSeconds_Timer();
    EXPECT_EQ(checksRun(), 1) << "the overdue check starts at the next tick";

    action("mnuAutoUpdate")->trigger();
    action("mnuAutoUpdate")->trigger();
    EXPECT_TRUE(w.controller.ShownSettings().value(QStringLiteral("AutoProcess")).toBool());
    QFile ini(world.configFile());
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("AutoProcess=000")) << "the menu never writes the store";
}

TEST_F(MainWindowTest, UpdateNowWithAutoUpdateOffMovesTheDueTime)
{
    world.writeSettings("[Settings]\nHost=127.0.0.1:1\nAutoProcess=000\nRefresh=10\n");
    ProgramWindow& w = start();
    action("mnuProcess")->trigger();
    EXPECT_EQ(checksRun(), 1);
    EXPECT_TRUE(history().contains(QStringLiteral("Preparing to upload new redirector page")));
    action("mnuAutoUpdate")->trigger();
    w.controller.timSeconds_Timer();
    EXPECT_EQ(panel("NextCheck"), QStringLiteral("Next check: Dec 06, 03:01:38 am"));
}

TEST_F(MainWindowTest, DueTickDuringAMenuCheckDoesNotStartASecond)
{
    ProgramWindow& w = start();
    // The script runs until three due ticks have come during the check, and every run leaves
    // a mark.
    world.writeFile(QStringLiteral("getipNT.bat"),
                    "#!/bin/sh\necho run >> runs.txt\nwhile [ ! -e ticked ]; do sleep 0.02; done\n"
                    "cat listing.txt > hostvane.ip\n",
                    true);
    bool disabledDuringCheck = false;
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        disabledDuringCheck = disabledDuringCheck || !action("mnuProcess")->isEnabled();
        w.controller.timSeconds_Timer();
        if (++ticks == 3)
            world.writeFile(QStringLiteral("ticked"), "");
    });
    ticker.start(100);
    action("mnuProcess")->trigger();
    ticker.stop();
    EXPECT_TRUE(disabledDuringCheck);
    EXPECT_EQ(world.readFile(QStringLiteral("runs.txt")), QByteArray("run\n"));
    EXPECT_EQ(checksRun(), 1);
}

TEST_F(MainWindowTest, LongLinesAreCutInTheHistoryAndFtpErrorsReachTheJournal)
{
    const QString header = QStringLiteral("NdisWan adapter ppp0 ") + QString(1500, u'r') + u':';
    world.installListingScript(header.toLatin1() + "\n  IP Address. . . : 10.1.2.3\n");
    ProgramWindow& w = start();
    QByteArray journal;
    {
        StderrCapture capture;
        action("mnuProcess")->trigger();
        journal = capture.text();
    }
    const QString found = QStringLiteral("Adapter found at: ") + header;
    const QString cut = found.left(1000) + QChar(0x2026);
    EXPECT_TRUE(history().contains(cut));
    for (const QString& line : history())
        EXPECT_LE(line.size(), 1001) << line.left(40).toStdString();
    EXPECT_TRUE(journal.contains(" " + cut.toUtf8() + "\n"));
    EXPECT_FALSE(journal.contains(header.toUtf8()));
    EXPECT_TRUE(world.readFile(QStringLiteral("hostvane.htm")).contains("10.1.2.3"));

    // Both failed commands are listed, and each listed line is in the journal with its time.
    auto* errors = w.window.findChild<QComboBox*>(QStringLiteral("cbFtpErrMsg"));
    ASSERT_EQ(errors->count(), 2);
    for (int i = 0; i < errors->count(); ++i)
        EXPECT_TRUE(
            journal.contains("2026-12-06T02:51:38.000 " + errors->itemText(i).toUtf8() + "\n"))
            << errors->itemText(i).toStdString();
}

// Each special file stands where the program reads a file. Were it opened like a file, the
// program would wait in open() for a writer that never comes.
TEST_F(MainWindowTest, SpecialFileInPlaceOfAFileNeverBlocks)
{
    const auto fifo = [](const QString& path) {
        QFile::remove(path);
        ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0) << path.toStdString();
    };
    const struct
    {
        const char* name;
        std::function<void(TempWorld&)> prepare;
        bool check;
        const char* historyLine;
        const char* prompt; // %1 is the settings file
        bool pageWritten;
    } cases[] = {
        {"listing",
         [&](TempWorld& place) {
             place.writeFile(QStringLiteral("getipNT.bat"), "#!/bin/sh\nexit 0\n", true);
             fifo(place.programDir() + QStringLiteral("/hostvane.ip"));
         },
         true, "Cannot resolve local WAN IP address", nullptr, false},
        {"working template, replaced like a missing one",
         [&](TempWorld& place) { fifo(place.programDir() + QStringLiteral("/hostvane.inp")); },
         true, "Preparing to upload new redirector page", nullptr, true},
        {"installed template",
         [&](TempWorld& place) {
             fifo(place.programDir() + QStringLiteral("/template/hostvane.inp"));
         },
         true, "Preparing to upload new redirector page",
         "Unable to copy template\\hostvane.inp file.", false},
        {"settings", [&](TempWorld& place) { fifo(place.configFile()); }, false, nullptr,
         "Cannot read the settings file %1; the defaults are used.", false},
        // A link is replaced itself; where it points is never written.
        {"working template as a link to a path outside",
         [&](TempWorld& place) {
             QFile::remove(place.programDir() + QStringLiteral("/hostvane.inp"));
             QFile::link(place.root() + QStringLiteral("/outside"),
                         place.programDir() + QStringLiteral("/hostvane.inp"));
         },
         true, "Preparing to upload new redirector page", nullptr, true},
        {"page as a link to a path outside",
         [&](TempWorld& place) {
             QFile::link(place.root() + QStringLiteral("/outside"),
                         place.programDir() + QStringLiteral("/hostvane.htm"));
         },
         true, "Preparing to upload new redirector page", nullptr, true},
    };
    for (const auto& c : cases) {
        TempWorld place;
        place.installListingScript(kListing);
        place.writeSettings("[Settings]\nHost=127.0.0.1:1\n");
        c.prepare(place);

        ScriptedPrompt shown;
        ProgramWindow w(clock, shown, cWinVer::WindowsNT, EngineTimeouts{.settleSeconds = 0});
        w.window.Form_Load();
        if (c.check)
            w.window.findChild<QAction*>(QStringLiteral("mnuProcess"))->trigger();

        QStringList lines;
        auto* list = w.window.findChild<QListWidget*>(QStringLiteral("lbEvents"));
        for (int i = 0; i < list->count(); ++i)
            lines.append(list->item(i)->text());
        if (c.historyLine) {
            EXPECT_TRUE(lines.contains(QLatin1String(c.historyLine))) << c.name;
        }
        if (c.prompt) {
            ASSERT_EQ(shown.shown.size(), 1) << c.name;
            EXPECT_EQ(shown.shown[0].text, QString::fromLatin1(c.prompt).arg(place.configFile()))
                << c.name;
            EXPECT_EQ(shown.shown[0].title, QStringLiteral("HostVane")) << c.name;
        } else {
            EXPECT_TRUE(shown.shown.isEmpty()) << c.name;
        }
        EXPECT_EQ(place.readFile(QStringLiteral("hostvane.htm")).contains("10.1.2.3"),
                  c.pageWritten)
            << c.name;
        EXPECT_EQ(w.controller.ShownSettings().value(QStringLiteral("Host")) ==
                      QStringLiteral("ftp.your-provider.example"),
                  !c.check)
            << c.name << ": the defaults stand in for an unreadable settings file only";
        EXPECT_FALSE(QFileInfo::exists(place.root() + QStringLiteral("/outside"))) << c.name;
    }
}

// Who may close the window: the close button and Exit ask in an ordinary run and are refused
// in service mode; the session's end and a termination signal are not questioned, but a
// started service keeps its window until systemd has stopped it.
TEST_F(MainWindowTest, CloseReasonsDecideQuestionAndOutcome)
{
    enum Service
    {
        NoService,
        Started,
        Stopped
    };
    const QString reallyQuit = QStringLiteral("Really want to quit?");
    const QString mustStop =
        QStringLiteral("You must stop this service via the Service Control Manager");
    const struct
    {
        Service service;
        qint16 reason; // -1: the window's close button
        Prompt::Answer answer;
        QString asked;
        bool closes;
    } cases[] = {
        {NoService, -1, Prompt::Answer::Cancel, reallyQuit, false},
        {NoService, ProgramController::FormCode, Prompt::Answer::Ok, reallyQuit, true},
        {NoService, ProgramController::AppWindows, Prompt::Answer::Cancel, QString(), true},
        {NoService, ProgramController::AppTaskManager, Prompt::Answer::Cancel, QString(), true},
        {Started, ProgramController::FormCode, Prompt::Answer::Ok, mustStop, false},
        {Started, -1, Prompt::Answer::Ok, mustStop, false},
        {Started, ProgramController::AppTaskManager, Prompt::Answer::Ok, QString(), false},
        {Stopped, ProgramController::FormCode, Prompt::Answer::Ok, mustStop, false},
        {Stopped, ProgramController::AppTaskManager, Prompt::Answer::Ok, QString(), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "service " << c.service << " reason " << c.reason);
        program.reset();
        ProgramWindow& w = start();
        bool success = false;
        if (c.service != NoService)
            w.controller.NTService1_Start(success);
        if (c.service == Stopped)
            w.controller.NTService1_Stop();
        prompt.shown.clear();
        prompt.answers = {c.answer};
        if (c.reason < 0)
            w.window.close();
        else
            w.controller.RequestUnload(c.reason);
        EXPECT_EQ(!w.window.isVisible(), c.closes);
        if (c.asked.isEmpty()) {
            EXPECT_TRUE(prompt.shown.isEmpty());
        } else {
            ASSERT_EQ(prompt.shown.size(), 1);
            EXPECT_EQ(prompt.shown[0].title, QStringLiteral("HostVane"));
            EXPECT_EQ(prompt.shown[0].text, c.asked);
            EXPECT_EQ(prompt.shown[0].buttons,
                      c.asked == reallyQuit ? Prompt::Buttons::OkCancel : Prompt::Buttons::Ok);
        }
    }
    prompt.answers = {Prompt::Answer::Ok};
    action("mnuExit")->trigger();
    EXPECT_FALSE(program->window.isVisible()) << "E&xit asks with close reason 1";
}

TEST_F(MainWindowTest, AMinimisedServiceWindowHides)
{
    ProgramWindow& w = start();
    bool success = false;
    w.controller.NTService1_Start(success);
    ASSERT_TRUE(w.controller.ServiceMode());
    w.window.showMinimized();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w.window.isVisible(); }, 5000))
        << "a minimised service window hides";
}

// Started minimised, the window waits in the notification area, or on the taskbar where there
// is none (as on the offscreen platform here): a window without either could not be reached.
TEST_F(MainWindowTest, StartsHiddenWhenAskedAndAnotherStartBringsItBack)
{
    world.writeSettings("[Settings]\nHost=127.0.0.1:1\nAutoProcess=000\nStartMinimized=001\n");
    ProgramWindow& w = start();
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    EXPECT_TRUE(w.window.isMinimized());
    w.window.hide();
    ASSERT_TRUE(w.window.isMinimized());

    InstanceGuard later;
    EXPECT_EQ(later.Claim(), InstanceGuard::ClaimResult::OtherRunning);
    later.RaiseOther();
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.window.isVisible(); }, 5000));
    EXPECT_FALSE(w.window.isMinimized());

    program.reset();
    world.writeSettings("[Settings]\nHost=127.0.0.1:1\nAutoProcess=000\nStartMinimized=000\n");
    ProgramWindow& shown = start();
    EXPECT_TRUE(shown.window.isVisible());
    shown.window.showMinimized();
    QCoreApplication::sendPostedEvents(); // where a service's window would be hidden
    QCoreApplication::processEvents();
    EXPECT_TRUE(shown.window.isVisible()) << "an ordinary run only minimises";
}

} // namespace
