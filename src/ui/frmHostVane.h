#pragma once

#include "components/NTService.h"
#include "engine/CheckHost.h"
#include "engine/UpdateEngine.h"
#include "settings/Settings.h"
#include "system/ProcessRunner.h"
#include "system/cWinVer.h"
#include "ui/ContextIDs.h"
#include "ui/Scheduler.h"
#include "ui/kwSysTray.h"

#include <QMainWindow>
#include <QTimer>

class Clock;
class MainMenus;
class Prompt;
class QComboBox;
class QLineEdit;
class QListWidget;
class StatusPanels;

// The program's main window. It owns the whole run-time state (settings, addresses, counters,
// schedule) and wires the engine to the event history, the counters and the status bar.
class frmHostVane : public QMainWindow, public CheckHost
{
    Q_OBJECT
public:
    frmHostVane(const Clock& clock, Prompt& prompt, int platformId = cWinVer().WinverPlatform(),
                EngineTimeouts timeouts = {});
    ~frmHostVane() override;

    // Start-up: loads the settings, makes the first check due at once, starts the timer.
    void Form_Load();

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

    void InitHelp();
    void QuitHelp();
    void EnableTrayIcon(bool TrueFalse);
    // Shows the About box modally.
    void ShowAbout();

    const Settings& settings() const { return m_settings; }
    Scheduler& scheduler() { return m_scheduler; }
    UpdateEngine& engine() { return m_engine; }
    MainMenus& menus() { return *m_menus; }
    kwSysTray& tray() { return kwSysTray1; }
    ContextIDs& help() { return m_help; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void connectMenus();
    void mnuProperties_Click();
    void mnuAutoUpdate_Click();

    const Clock& m_clock;
    Prompt& m_prompt;
    cWinVer m_platform;
    Settings m_settings;
    ProcessRunner m_runner;
    NTService NTService1{m_runner};

    UpdateEngine m_engine;
    Scheduler m_scheduler;
    QTimer timSeconds;
    kwSysTray kwSysTray1;
    ContextIDs m_help;

    QLineEdit* txStarted = nullptr;
    QLineEdit* txUploads = nullptr;
    QLineEdit* txErrCount = nullptr;
    QComboBox* cbFtpErrMsg = nullptr;
    QListWidget* lbEvents = nullptr;
    StatusPanels* sbMain = nullptr;
    MainMenus* m_menus = nullptr;
};
