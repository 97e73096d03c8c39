#pragma once

#include "components/NTService.h"
#include "engine/CheckHost.h"
#include "engine/UpdateEngine.h"
#include "settings/Settings.h"
#include "system/InstanceGuard.h"
#include "system/ProcessRunner.h"
#include "system/cWinVer.h"
#include "ui/AddressEvents.h"
#include "ui/ContextIDs.h"
#include "ui/FreedesktopNotice.h"
#include "ui/PublishNotifier.h"
#include "ui/Scheduler.h"
#include "ui/kwSysTray.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <memory>

class Clock;
class MainMenus;
class EventHistoryList;
class Prompt;
class QComboBox;
class QLineEdit;
class StatusPanels;
class TerminationSignals;
class frmSplash;

// The program's main window. It owns the whole run-time state (settings, addresses, counters,
// schedule) and wires the engine to the event history, the counters and the status bar.
class frmHostVane : public QMainWindow, public CheckHost
{
    Q_OBJECT
public:
    frmHostVane(const Clock& clock, Prompt& prompt, int platformId = cWinVer().WinverPlatform(),
                EngineTimeouts timeouts = {});
    ~frmHostVane() override;

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
    // when the program must end now because another instance runs.
    bool Form_Load();
    void Form_QueryUnload(qint16& Cancel, qint16 UnloadMode);
    void Form_Unload(qint16& Cancel);
    void Form_Resize();
    // Closes the window for the given reason; the program ends when the close goes through.
    void RequestUnload(qint16 UnloadMode);
    void mnuExit_Click();

    void InitHelp();
    void QuitHelp();
    void EnableTrayIcon(bool TrueFalse);

    void NTService1_Start(bool& Success);
    void NTService1_Stop();
    void NTService1_Pause(bool& Success);
    void NTService1_Continue(bool& Success);
    bool bServiceMode = false;
    bool bServiceRunning = false;

    void LoadSettings();
    void Process(bool Force);
    void LogError(const QString& msg);

    // CheckHost
    void ClearEvents() override;
    void EventMsg(const QString& msg) override;
    void ShowAddressPanel(const QString& text) override;
    void ControlsEnable(bool TrueFalse) override;
    void LoadTimer() override;
    QString Caption() const override;
    void SetCaption(const QString& caption) override;
    void ShowFtpStats(qint32 errorCount, qint32 uploadCount) override;
    void AddFtpErrorLine(const QString& line) override;

    void SetEnabled(bool TrueFalse);
    // One tick of the one-second timer.
    void timSeconds_Timer();
    void ShowTime();
    void ShowWaitTime();

    // Shows the About box modally.
    void ShowAbout();

    const Settings& settings() const { return m_settings; }
    Scheduler& scheduler() { return m_scheduler; }
    UpdateEngine& engine() { return m_engine; }
    MainMenus& menus() { return *m_menus; }
    kwSysTray& tray() { return kwSysTray1; }
    ContextIDs& help() { return m_help; }
    NTService& service() { return NTService1; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildControls();
    void connectMenus();
    void mnuProperties_Click();
    void mnuAutoUpdate_Click();
    // Echoes a line to standard error with the local time in front, for a terminal or journal.
    void writeStamped(const QString& line) const;
    void runScheduledCheck();
    void connectService();
    // Runs the close questions and the unload; true when the program is ending.
    bool unload(qint16 UnloadMode);
    void reportCheckToService();
    void onTerminationSignal();
    void showForOtherStart();

    const Clock& m_clock;
    Prompt& m_prompt;
    cWinVer m_platform;
    Settings m_settings;

    UpdateEngine m_engine;
    ProcessRunner m_runner;
    NTService NTService1{m_runner};
    InstanceGuard m_instance;
    std::unique_ptr<TerminationSignals> m_signals;
    QPointer<frmSplash> m_splash;
    Scheduler m_scheduler;
    AddressEvents m_addressEvents{
        m_clock, m_scheduler, [this] { return m_settings.ProcessingEnabled; },
        [this] { return m_engine.check.Checking(); }, [this] { runScheduledCheck(); }};
    QTimer timSeconds;
    kwSysTray kwSysTray1;
    FreedesktopNotice m_notice{kwSysTray1};
    PublishNotifier m_notifier{m_notice};
    ContextIDs m_help;

    QLineEdit* txStarted = nullptr;
    QLineEdit* txUploads = nullptr;
    QLineEdit* txErrCount = nullptr;
    QComboBox* cbFtpErrMsg = nullptr;
    EventHistoryList* lbEvents = nullptr;
    StatusPanels* sbMain = nullptr;
    MainMenus* m_menus = nullptr;
};
