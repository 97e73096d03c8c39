#pragma once

#include "engine/PublishTarget.h"

#include <QDateTime>
#include <QList>
#include <QString>

// What a check came to: the addresses it found, and what each target it handed them to made
// of them. Whoever shows the program (caption, controls, status bar, schedule) goes by this.
struct CheckOutcome
{
    struct Target
    {
        QString name;
        PublishTarget::Result result;
    };

    QDateTime finishedAt; // invalid until a check has finished
    CheckAddresses found; // both empty when none was found
    CheckAddresses previous;
    // The targets the addresses were handed to, in order; empty when nothing was due.
    QList<Target> targets;

    // Whether a target tried to publish, and whether every one that tried succeeded.
    bool publishTried() const;
    bool published() const;

    // "Last check Dec 07, 2026 03:21 PM: address 10.1.2.3, page published"
    QString Summary() const;
};
