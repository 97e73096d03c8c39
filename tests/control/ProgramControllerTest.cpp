#include "control/ProgramController.h"
#include "control/ProgramView.h"
#include "support/ManualClock.h"
#include "support/RecordingRunner.h"
#include "support/ScriptedPrompt.h"
#include "support/TempWorld.h"

#include <QTest>

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
    void RaiseWindow() override { calls << QStringLiteral("RaiseWindow"); }
    void HideWindow() override { calls << QStringLiteral("HideWindow"); }
    bool Unseen() const override { return unseen; }
    void EnableTrayIcon(bool TrueFalse) override
    {
        calls << QStringLiteral("EnableTrayIcon %1").arg(TrueFalse);
    }
    void QuitHelp() override { calls << QStringLiteral("QuitHelp"); }
    QString Caption() const override { return caption; }
    void SetCaption(const QString& text) override { caption = text; }
    void ShowStarted(const QString&) override { calls << QStringLiteral("ShowStarted"); }
    void ShowTime(const QString&) override {}
    void ShowWaitTime(const QString& text) override { waitText = text; }
    void ShowAddressPanel(const QString&, const QString&) override {}
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

const QByteArray kListing = "HostVane IP Configuration\n\nNdisWan adapter ppp0 (PPP Adapter):\n\n"
                            "        IP Address. . . . . . . . . : 10.1.2.3\n";

struct Program
{
    explicit Program(ManualClock& clock, ScriptedPrompt& prompt)
        : controller(clock, prompt, runner, cWinVer::WindowsNT, {.settleSeconds = 0})
    {
        controller.setView(view);
    }
    RecordingRunner runner;
    RecordingView view;
    ProgramController controller;
};

} // namespace

// The start-up runs in its order without a window, and a second start in the same session is
// refused: it says so, ends, and brings the first one's window to the front.
TEST(ProgramController, StartsUpInOrderAndRefusesASecondInstance)
{
    TempWorld world;
    world.writeSettings("[Settings]\nHost=127.0.0.1:1\nAutoProcess=001\nStartMinimized=001\n");
    ManualClock clock;
    ScriptedPrompt prompt;
    Program first(clock, prompt);
    ASSERT_TRUE(first.controller.Form_Load());
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
TEST(ProgramController, ADueTickChecksAndAnUnseenFailureIsToldOnce)
{
    TempWorld world;
    world.installListingScript(kListing);
    world.writeSettings("[Settings]\nHost=127.0.0.1:1\nAutoProcess=001\n");
    ManualClock clock;
    ScriptedPrompt prompt;
    Program program(clock, prompt);
    ASSERT_TRUE(program.controller.Form_Load());
    program.view.unseen = true;
    program.controller.timSeconds_Timer();
    EXPECT_TRUE(program.view.events.contains(QStringLiteral("IP resolved: 10.1.2.3")));
    EXPECT_TRUE(
        program.view.events.last().startsWith(QStringLiteral("Finished update processing")));
    program.controller.Process(true);
    EXPECT_EQ(program.view.calls.filter(QStringLiteral("Notify ")).size(), 1)
        << program.view.calls.join(QLatin1Char('|')).toStdString();
}
