#pragma once

#include <QDateTime>
#include <QString>

// What the latest check came to, for a one-line summary outside the event history.
struct CheckOutcome
{
    QDateTime finishedAt; // invalid until a check has finished
    QString address;      // empty when none was found
    bool publishTried = false;
    bool published = false;

    // "Last check Dec 07, 2026 03:21 PM: address 10.1.2.3, page published"
    QString Summary() const;
};
