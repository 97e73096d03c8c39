#include "support/ManualClock.h"
#include "support/ScriptedPrompt.h"
#include "support/TempWorld.h"
#include "ui/frmHostVane.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const QByteArray kListing = "HostVane IP Configuration\n\nNdisWan adapter ppp0 (PPP Adapter):\n\n"
                            "        IP Address. . . . . . . . . : 10.1.2.3\n";

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        world.installListingScript(kListing);
        // Nothing listens on port 1 of loopback, so a publish fails at once.
        writeSettings("[Settings]\nHost=127.0.0.1:1\nAutoProcess=001\nRefresh=05\n");
    }

    void writeSettings(const QByteArray& ini)
    {
        QDir().mkpath(QFileInfo(world.configFile()).path());
        QFile file(world.configFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(ini);
    }

    frmHostVane& start()
    {
        window = std::make_unique<frmHostVane>(clock, prompt, cWinVer::WindowsNT,
                                               EngineTimeouts{.settleSeconds = 0});
        window->Form_Load();
        return *window;
    }

    QString panel(const char* name) const
    {
        return window->findChild<QLabel*>(QLatin1String(name))->text();
    }
    QAction* action(const char* name) const
    {
        return window->findChild<QAction*>(QLatin1String(name));
    }
    QStringList history() const
    {
        QStringList lines;
        auto* list = window->findChild<QListWidget*>(QStringLiteral("lbEvents"));
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
    std::unique_ptr<frmHostVane> window;
};

TEST_F(MainWindowTest, StartsWithItsControlsAndTheFirstCheckDue)
{
    frmHostVane& w = start();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("HostVane"));
    QStringList entries;
    for (QAction* entry : w.menuBar()->actions().first()->menu()->actions())
        if (!entry->isSeparator())
            entries.append(entry->text());
    EXPECT_EQ(entries, QStringList({QStringLiteral("&Update now"), QStringLiteral("&Properties"),
                                    QStringLiteral("Auto update"), QStringLiteral("E&xit")}));
    EXPECT_TRUE(action("mnuAutoUpdate")->isChecked());
    EXPECT_EQ(panel("Clock"), QString());
    EXPECT_EQ(panel("NextCheck"), QStringLiteral("Next check: Dec 06, 02:51:38 am"));
    EXPECT_EQ(panel("IP"), QStringLiteral("Current IP address: "));
    EXPECT_EQ(w.findChild<QLineEdit*>(QStringLiteral("txStarted"))->text(),
              QStringLiteral("Dec 06, 2026 02:51 AM"));
    EXPECT_EQ(w.findChild<QLineEdit*>(QStringLiteral("txUploads"))->text(), QStringLiteral(" 0"));
    EXPECT_EQ(w.findChild<QLineEdit*>(QStringLiteral("txErrCount"))->text(), QStringLiteral(" 0"));
    EXPECT_EQ(w.findChild<QListWidget*>(QStringLiteral("lbEvents"))->toolTip(),
              QStringLiteral("Event history of most recent update check is shown here"));

    w.timSeconds_Timer();
    EXPECT_EQ(checksRun(), 1);
    EXPECT_EQ(history().last(),
              QStringLiteral("Finished update processing at: Dec 06, 2026  02:51:38 am"));
    EXPECT_EQ(panel("Clock"), QStringLiteral("Dec 06, 02:51:38 am"));
    EXPECT_EQ(panel("IP"), QStringLiteral("Current IP address: 10.1.2.3"));
    EXPECT_EQ(panel("NextCheck"), QStringLiteral("Next check: Dec 06, 02:56:38 am"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("HostVane"));
    EXPECT_TRUE(action("mnuProcess")->isEnabled());
    EXPECT_EQ(w.findChild<QListWidget*>(QStringLiteral("lbEvents"))->currentRow(),
              static_cast<int>(history().size()) - 1);

    // DELETE and PUT both fail against a port nobody listens on.
    EXPECT_EQ(w.findChild<QLineEdit*>(QStringLiteral("txUploads"))->text(), QStringLiteral(" 0"));
    EXPECT_EQ(w.findChild<QLineEdit*>(QStringLiteral("txErrCount"))->text(), QStringLiteral(" 2"));
    auto* errors = w.findChild<QComboBox*>(QStringLiteral("cbFtpErrMsg"));
    ASSERT_EQ(errors->count(), 2);
    EXPECT_TRUE(errors->itemText(1).startsWith(QStringLiteral(" 2-"))) << errors->itemText(1);
    EXPECT_EQ(errors->currentIndex(), -1) << "adding an error line changed the selection";
}

TEST_F(MainWindowTest, NextCheckCountsFromTheEndOfTheLastOne)
{
    frmHostVane& w = start();
    w.timSeconds_Timer();
    ASSERT_EQ(checksRun(), 1);
    clock.advanceSeconds(299);
    w.timSeconds_Timer();
    EXPECT_EQ(checksRun(), 1) << "the history of the first check is still shown";
    clock.advanceSeconds(1);
    w.timSeconds_Timer();
    EXPECT_EQ(checksRun(), 1) << "each check clears the history";
    EXPECT_EQ(history().first(),
              QStringLiteral("Checking IP address at: Dec 06, 2026  02:56:38 am"));
    EXPECT_EQ(panel("NextCheck"), QStringLiteral("Next check: Dec 06, 03:01:38 am"));
}

TEST_F(MainWindowTest, AutoUpdateOffWaitsUntilSwitchedOn)
{
    writeSettings("[Settings]\nHost=127.0.0.1:1\nAutoProcess=000\n");
    frmHostVane& w = start();
    EXPECT_FALSE(action("mnuAutoUpdate")->isChecked());
    EXPECT_EQ(panel("NextCheck"), QStringLiteral("Auto update is disabled"));
    w.timSeconds_Timer();
    clock.advanceSeconds(600);
    w.timSeconds_Timer();
    EXPECT_TRUE(history().isEmpty());

    action("mnuAutoUpdate")->trigger();
    EXPECT_TRUE(w.settings().ProcessingEnabled);
    EXPECT_TRUE(action("mnuAutoUpdate")->isChecked());
    w.timSeconds_Timer();
    EXPECT_EQ(checksRun(), 1) << "the overdue check starts at the next tick";

    action("mnuAutoUpdate")->trigger();
    action("mnuAutoUpdate")->trigger();
    EXPECT_TRUE(w.settings().ProcessingEnabled);
    QFile ini(world.configFile());
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("AutoProcess=000")) << "the menu never writes the store";
}

TEST_F(MainWindowTest, UpdateNowWithAutoUpdateOffMovesTheDueTime)
{
    writeSettings("[Settings]\nHost=127.0.0.1:1\nAutoProcess=000\nRefresh=10\n");
    frmHostVane& w = start();
    action("mnuProcess")->trigger();
    EXPECT_EQ(checksRun(), 1);
    EXPECT_TRUE(history().contains(QStringLiteral("Preparing to upload new redirector page")));
    action("mnuAutoUpdate")->trigger();
    w.timSeconds_Timer();
    EXPECT_EQ(w.scheduler().dNextUpdate, clock.now().addSecs(600));
    EXPECT_EQ(panel("NextCheck"), QStringLiteral("Next check: Dec 06, 03:01:38 am"));
}

TEST_F(MainWindowTest, DueTickDuringAMenuCheckDoesNotStartASecond)
{
    frmHostVane& w = start();
    // The script takes a while, and every run leaves a mark.
    world.writeFile(QStringLiteral("getipNT.bat"),
                    "#!/bin/sh\necho run >> runs.txt\nsleep 1\ncat listing.txt > hostvane.ip\n",
                    true);
    bool disabledDuringCheck = false;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        disabledDuringCheck = disabledDuringCheck || !action("mnuProcess")->isEnabled();
        w.timSeconds_Timer();
    });
    ticker.start(100);
    action("mnuProcess")->trigger();
    ticker.stop();
    EXPECT_TRUE(disabledDuringCheck);
    EXPECT_EQ(world.readFile(QStringLiteral("runs.txt")), QByteArray("run\n"));
    EXPECT_EQ(checksRun(), 1);
}

TEST_F(MainWindowTest, ExitAsksFirst)
{
    frmHostVane& w = start();
    prompt.answers = {Prompt::Answer::Cancel, Prompt::Answer::Ok};
    action("mnuExit")->trigger();
    EXPECT_TRUE(w.isVisible());
    ASSERT_EQ(prompt.shown.size(), 1);
    EXPECT_EQ(prompt.shown[0].text, QStringLiteral("Really want to quit?"));
    EXPECT_EQ(prompt.shown[0].buttons, Prompt::Buttons::OkCancel);
    action("mnuExit")->trigger();
    EXPECT_FALSE(w.isVisible());
}

} // namespace
