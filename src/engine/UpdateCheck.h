#pragma once

#include "engine/CheckOutcome.h"
#include "engine/PublishTarget.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

class AddressDiscovery;
class CheckHost;
class Clock;
struct Settings;

// One complete check: find the address, compare it with the previous check's, and hand it to
// the publish targets when it changed or the check was forced. The whole check is written into
// the event history, from "Checking IP address at: " to "Finished update processing at: ",
// and the check returns what it came to; whoever runs it decides what follows.
class UpdateCheck
{
public:
    UpdateCheck(const Clock& clock, const Settings& settings, CheckHost& host,
                AddressDiscovery& discovery, const QList<PublishTarget*>& targets);

    // Force: publish even when the address is unchanged. The caller runs one check at a time:
    // there is one pair of addresses and one connection per target.
    CheckOutcome Process(bool Force);

    // True from the start of Process to its end.
    bool Checking() const { return m_checking; }

    // What a target last made of the addresses it was handed.
    struct TargetStatus
    {
        QDateTime at;
        CheckAddresses addresses;
        PublishTarget::Result result;
    };
    // The target's latest; nothing when it has not been handed addresses in this run.
    std::optional<TargetStatus> LastStatus(const QString& name) const;
    // The targets' names, in order, each with whether `settings` switch it on.
    QList<std::pair<QString, bool>> Targets(const Settings& settings) const;

    QString sCurrentIP;
    QString sPreviousIP;
    // The same for the adapter's IPv6 address; a change of either publishes.
    QString sCurrentIPv6;
    QString sPreviousIPv6;

private:
    // A target and the addresses it holds since it last published; a target that failed holds
    // none and is handed the addresses again at the next check, while the others, already up
    // to date, are not.
    struct Target
    {
        PublishTarget* target;
        CheckAddresses holds;
        std::optional<TargetStatus> last;
    };

    void run(bool Force, CheckOutcome& outcome);
    // True when every target that was handed the addresses published them.
    bool publish(const CheckAddresses& found, bool Force, const Settings& settings,
                 CheckOutcome& outcome);
    void showIPv6Addresses();

    const Clock& m_clock;
    const Settings& m_settings;
    CheckHost& m_host;
    AddressDiscovery& m_discovery;
    QList<Target> m_targets;
    bool m_checking = false;
};
