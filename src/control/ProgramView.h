#pragma once

#include "control/DesktopNotice.h"

#include <QString>

// What the program controller needs from the window that shows the program: the texts of the
// latest check, the counters and the status bar, the window's own appearance, the tray icon and
// desktop notices. The main window implements it; tests implement it to see what was shown.
class ProgramView : public DesktopNotice
{
public:
    // Start-up begins: help is ready for F1, the busy cursor and the splash card show.
    virtual void StartupBegins() = 0;
    // Start-up is over, whether the program runs on or ends: the busy cursor goes.
    virtual void StartupEnds() = 0;
    // Shows the window in normal size, or keeps it hidden when it starts minimised.
    virtual void ShowMain(bool StartMinimized) = 0;
    // Another start of the program asked for the window: shown, restored and raised, with the
    // activation token that start was given (empty for none).
    virtual void RaiseWindow(const QByteArray& activationToken) = 0;
    virtual void HideWindow() = 0;
    // True when the user cannot see the window: hidden or minimised.
    virtual bool Unseen() const = 0;
    virtual void EnableTrayIcon(bool TrueFalse) = 0;
    // False when nothing shows the clock or the countdown: the program then wakes only for the
    // next check instead of every second.
    virtual bool ShowsClock() const { return true; }
    virtual void QuitHelp() = 0;

    virtual QString Caption() const = 0;
    virtual void SetCaption(const QString& caption) = 0;
    virtual void ShowStarted(const QString& text) = 0;
    // The status bar's three panels.
    virtual void ShowTime(const QString& text) = 0;
    virtual void ShowWaitTime(const QString& text) = 0;
    virtual void ShowAddressPanel(const QString& text, const QString& ipv6Text) = 0;
    // The check mark of the automatic-checking command.
    virtual void ShowAutoUpdate(bool TrueFalse) = 0;
    // Enables or disables the commands that must not run during a check.
    virtual void ControlsEnable(bool TrueFalse) = 0;

    // The event history of the latest check.
    virtual void ClearEvents() = 0;
    virtual void ShowEvent(const QString& line) = 0;
    virtual void ShowFtpStats(qint32 errorCount, qint32 uploadCount) = 0;
    // Adds one line to the list of FTP errors, leaving its selection alone.
    virtual void ShowFtpError(const QString& line) = 0;
};
