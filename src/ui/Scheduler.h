#pragma once

#include <QDateTime>
#include <QString>

// The one-second tick's decisions: when the clock panel is refreshed, when the tray icon is
// re-asserted, and whether the next automatic check is due. Holds the next-check time.
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

    // The next check comes `minutes` after `now`.
    void LoadTimer(const QDateTime& now, qint32 minutes);

    // The next-check panel's text.
    QString WaitText(bool ProcessingEnabled) const;

    QDateTime dNextUpdate;

private:
    qint16 iClockCountdown = 0;
    qint16 iTrayCountdown = 0;
};
