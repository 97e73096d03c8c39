#pragma once

#include "components/Inet.h"
#include "components/NTService.h"
#include "control/AddressEvents.h"
#include "control/HostKeyQuestions.h"
#include "control/PublishNotifier.h"
#include "control/Scheduler.h"
#include "engine/CheckHost.h"
#include "engine/UpdateEngine.h"
#include "settings/Settings.h"
#include "system/InstanceGuard.h"
#include "system/cWinVer.h"

#include <QObject>
#include <QTimer>

#include <memory>

class Clock;
class CommandRunner;
class ProgramView;
class Prompt;
class TerminationSignals;

// The program: it owns the run-time state (settings, addresses, counters, schedule), the
// engine, the service connection, the one-instance guard and the termination signals, and
// decides what happens at each tick, command and event. It has no widgets: the window it is
// given displays what it says and forwards the user's commands to it.
class ProgramController : public QObject, public CheckHost
{
    Q_OBJECT
public:
    ProgramController(const Clock& clock, Prompt& prompt, CommandRunner& runner,
                      int platformId = cWinVer().WinverPlatform(), EngineTimeouts timeouts = {});
    ~ProgramController() override;

    // The window; set once, before Form_Load.
    void setView(ProgramView& view);

    // Close reasons, as Form_QueryUnload receives them.
    enum UnloadModes : qint16
    {
        FormControlMenu = 0, // the window's close button
        FormCode = 1,        // an Exit command
        AppWindows = 2,      // the session is ending
        AppTaskManager = 3,  // a termination signal
    };

    // Start-up: refuses a second instance, loads the settings, connects the service when
    // systemd started the program, makes the first check due at once, starts the timer. False
    // when the program must end now, with ExitStatus(): another instance runs, or whether one
    // does cannot be ruled out.
    bool Form_Load();
    int ExitStatus() const { return m_exitStatus; }
    void Form_QueryUnload(qint16& Cancel, qint16 UnloadMode);
    void Form_Unload(qint16& Cancel);
    // Runs the close questions and the unload; true when the program is ending.
    bool Unload(qint16 UnloadMode);
    // Unloads for the given reason and hides the window when that goes through.
    void RequestUnload(qint16 UnloadMode);

    void NTService1_Start(bool& Success);
    void NTService1_Stop();
    void NTService1_Pause(bool& Success);
    void NTService1_Continue(bool& Success);
    bool bServiceMode = false;
    bool bServiceRunning = false;

    void LoadSettings();
    void Process(bool Force);
    void LogError(const QString& msg);
    // Automatic checking on or off.
    void SetEnabled(bool TrueFalse);
    // One tick of the one-second timer.
    void timSeconds_Timer();
    // While the settings are being edited no check starts: Save may run systemctl, waiting in
    // an event loop of its own. A check asked for meanwhile runs when the hold ends.
    void HoldChecks(bool TrueFalse);
    bool Ticking() const { return timSeconds.isActive(); }

    // CheckHost
    void ClearEvents() override;
    void EventMsg(const QString& msg) override;
    void ShowFtpStats(qint32 errorCount, qint32 uploadCount) override;
    void AddFtpErrorLine(const QString& line) override;

    const Settings& settings() const { return m_settings; }
    int platformId() const { return m_platform.WinverPlatform(); }
    Scheduler& scheduler() { return m_scheduler; }
    UpdateEngine& engine() { return m_engine; }
    NTService& service() { return NTService1; }
    CommandRunner& runner() { return m_runner; }
    const Clock& clock() const { return m_clock; }
    Prompt& prompt() { return m_prompt; }

private:
    void ShowTime();
    void ShowWaitTime();
    // Echoes a line to standard error with the local time in front, for a terminal or journal.
    void writeStamped(const QString& line) const;
    void runScheduledCheck();
    // A forced check asked for while another ran or the settings were saved: it runs now,
    // from the event loop.
    void runAskedCheck();
    // The next check comes the interval after now.
    void LoadTimer();
    void showAddresses(const CheckAddresses& found);
    void connectService();
    void reportCheckToService();
    void onTerminationSignal();
    // Another instance answered: says why this one ends.
    void refuseSecondStart();

    const Clock& m_clock;
    Prompt& m_prompt;
    CommandRunner& m_runner;
    ProgramView* m_view = nullptr;
    cWinVer m_platform;
    Settings m_settings;

    Inet m_transfer;
    UpdateEngine m_engine;
    CheckOutcome m_lastOutcome;
    NTService NTService1{m_runner};
    InstanceGuard m_instance;
    std::unique_ptr<TerminationSignals> m_signals;
    Scheduler m_scheduler;
    AddressEvents m_addressEvents{
        m_clock, m_scheduler, [this] { return m_settings.ProcessingEnabled; },
        [this] { return m_activity == Activity::Checking; }, [this] { runScheduledCheck(); }};
    QTimer timSeconds;
    std::unique_ptr<PublishNotifier> m_notifier;
    HostKeyQuestions m_hostKeys{m_prompt, m_engine.errors};
    int m_exitStatus = 0;
    // What the program is doing; a check starts only when it does nothing else.
    enum class Activity
    {
        Idle,
        Checking,
        Saving,
    };
    Activity m_activity = Activity::Idle;
    bool m_checkAsked = false;
    // Set once the program ends: an abandoned check leaves nothing behind.
    bool m_ending = false;
};
