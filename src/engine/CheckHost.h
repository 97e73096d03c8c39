#pragma once

#include <QString>

// What a check needs from whoever shows it. The program controller implements it and passes
// it on to the window; tests implement it to read what a check showed.
class CheckHost
{
public:
    virtual ~CheckHost() = default;

    // Empties the event history: it shows the latest check only.
    virtual void ClearEvents() = 0;
    // Appends one line to the event history and selects it.
    virtual void EventMsg(const QString& msg) = 0;
    // The status bar's address panel; `ipv6Text`, empty when there is no IPv6 address, is shown
    // with it (in its tool-tip), so the IPv4 panel text stays as it is.
    virtual void ShowAddressPanel(const QString& text, const QString& ipv6Text) = 0;
    // Enables or disables the two commands that must not run during a check.
    virtual void ControlsEnable(bool TrueFalse) = 0;
    // Schedules the next automatic check from now.
    virtual void LoadTimer() = 0;
    virtual QString Caption() const = 0;
    virtual void SetCaption(const QString& caption) = 0;
    // The upload and error counters.
    virtual void ShowFtpStats(qint32 errorCount, qint32 uploadCount) = 0;
    // Appends one line to the list of FTP errors, leaving its selection alone.
    virtual void AddFtpErrorLine(const QString& line) = 0;
};
