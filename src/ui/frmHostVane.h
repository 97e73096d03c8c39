#pragma once

#include "control/ProgramView.h"
#include "ui/ContextIDs.h"
#include "ui/FreedesktopNotice.h"
#include "ui/kwSysTray.h"

#include <QMainWindow>
#include <QPointer>

class EventHistoryList;
class MainMenus;
class Clock;
class ProgramController;
class QComboBox;
class QLineEdit;
class StatusPanels;
class frmSplash;

// The program's main window: the counters, the list of FTP errors, the event history of the
// latest check and the status bar, with the menus and the tray icon. It shows what the program
// controller tells it and forwards the user's commands to it.
class frmHostVane : public QMainWindow, public ProgramView
{
    Q_OBJECT
public:
    // `clock` times the splash card.
    frmHostVane(ProgramController& controller, const Clock& clock);
    ~frmHostVane() override;

    // Start-up as the controller runs it; false when another instance runs.
    bool Form_Load();
    void Form_Resize();
    void mnuExit_Click();
    void InitHelp();
    // Shows the About box modally.
    void ShowAbout();

    ProgramController& controller() { return m_controller; }
    MainMenus& menus() { return *m_menus; }
    kwSysTray& tray() { return kwSysTray1; }
    ContextIDs& help() { return m_help; }

    // ProgramView
    void Notify(const QString& title, const QString& text) override;
    void StartupBegins() override;
    void StartupEnds() override;
    void ShowMain(bool StartMinimized) override;
    void RaiseWindow(const QByteArray& activationToken) override;
    void HideWindow() override;
    bool Unseen() const override;
    void EnableTrayIcon(bool TrueFalse) override;
    void QuitHelp() override;
    QString Caption() const override;
    void SetCaption(const QString& caption) override;
    void ShowStarted(const QString& text) override;
    void ShowTime(const QString& text) override;
    void ShowWaitTime(const QString& text) override;
    void ShowAddressPanel(const QString& text, const QString& ipv6Text) override;
    void ShowAutoUpdate(bool TrueFalse) override;
    void ControlsEnable(bool TrueFalse) override;
    void ClearEvents() override;
    void ShowEvent(const QString& line) override;
    void ShowFtpStats(qint32 errorCount, qint32 uploadCount) override;
    void ShowFtpError(const QString& line) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildControls();
    void connectMenus();
    void mnuProperties_Click();
    void mnuAutoUpdate_Click();

    ProgramController& m_controller;
    const Clock& m_clock;
    QPointer<frmSplash> m_splash;
    kwSysTray kwSysTray1;
    FreedesktopNotice m_notice{kwSysTray1};
    ContextIDs m_help;

    QLineEdit* txStarted = nullptr;
    QLineEdit* txUploads = nullptr;
    QLineEdit* txErrCount = nullptr;
    QComboBox* cbFtpErrMsg = nullptr;
    EventHistoryList* lbEvents = nullptr;
    StatusPanels* sbMain = nullptr;
    MainMenus* m_menus = nullptr;
};
