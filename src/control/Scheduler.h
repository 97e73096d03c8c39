#pragma once

#include <QDateTime>
#include <QString>

// The one-second tick's decisions: when the clock panel is refreshed, when the tray icon is
// re-asserted, and whether the next automatic check is due. Holds the next-check time, which
// the kernel's address events may bring forward.
class Scheduler
{
public:
    struct Tick
    {
        bool showTime = false;
        bool assertTray = false;
        bool checkDue = false;
    };

    // Advances the countdowns by one tick and tells what is due at `now`.
    Tick NextTick(const QDateTime& now);

    // The next check comes `minutes` after `now`, the end of a check; at once when an address
    // changed while that check ran, since the script may have read the address before.
    void LoadTimer(const QDateTime& now, qint32 minutes);

    // An address changed at `now`. A burst is let settle: the quiet period ends kQuietMs after
    // the latest event, but no later than kLongestWaitMs after the burst's first. Returns when
    // it ends (the caller then calls AddressesSettled), or an invalid time when automatic
    // checking is off and the event does nothing.
    QDateTime AddressChanged(const QDateTime& now, bool ProcessingEnabled);
    // The quiet period is over: the next check is due at once (true: start it now), or right
    // after the running one.
    bool AddressesSettled(const QDateTime& now, bool ProcessingEnabled, bool checking);

    static constexpr qint64 kQuietMs = 250;
    static constexpr qint64 kLongestWaitMs = 1000;

    // The next-check panel's text.
    QString WaitText(bool ProcessingEnabled) const;

    QDateTime dNextUpdate;

private:
    qint16 iClockCountdown = 0;
    qint16 iTrayCountdown = 0;
    QDateTime m_burstStart;
    bool m_checkAfterRunning = false;
};
