#include "engine/UpdateCheck.h"

#include "engine/AddressDiscovery.h"
#include "engine/CheckHost.h"
#include "settings/Settings.h"
#include "system/Clock.h"
#include "system/RuntimeFormat.h"

UpdateCheck::UpdateCheck(const Clock& clock, const Settings& settings, CheckHost& host,
                         AddressDiscovery& discovery, const QList<PublishTarget*>& targets)
    : m_clock(clock), m_settings(settings), m_host(host), m_discovery(discovery)
{
    for (PublishTarget* target : targets)
        m_targets.append(Target{target, {}, std::nullopt});
}

CheckOutcome UpdateCheck::Process(bool Force)
{
    CheckOutcome outcome;
    m_checking = true;
    run(Force, outcome);
    m_checking = false;
    return outcome;
}

void UpdateCheck::run(bool Force, CheckOutcome& outcome)
{
    // The settings as they were when the check began: a save during the check's waits changes
    // the next check, never this one half-way.
    const Settings settings = m_settings;
    m_host.ClearEvents();
    m_host.EventMsg(QStringLiteral("Checking IP address at: ") +
                    FormatDate(m_clock.now(), kCheckTimePattern));

    outcome.previous = {sPreviousIP, sPreviousIPv6};
    sCurrentIP = m_discovery.GetIP(settings.sAdapterIdentity, &sCurrentIPv6);
    outcome.found = {sCurrentIP, sCurrentIPv6};
    // A publish that did not get the addresses everywhere leaves no previous address, so the
    // next scheduled check tries again instead of leaving a stale page up.
    bool published = true;
    if (sCurrentIP.isEmpty() && sCurrentIPv6.isEmpty()) {
        m_host.EventMsg(QStringLiteral("Cannot resolve local WAN IP address"));
        // As the previous address goes, so does what each target is known to hold: the next
        // address found goes to all of them.
        for (Target& t : m_targets)
            t.holds = {};
        if (const QString hint = m_discovery.ListingHint(); !hint.isEmpty())
            m_host.EventMsg(hint);
    } else {
        m_host.EventMsg(QStringLiteral("Previous IP address: ") + sPreviousIP);
        m_host.EventMsg(QStringLiteral("Current IP address: ") + sCurrentIP);
        showIPv6Addresses();
        if (outcome.found != outcome.previous || Force)
            published = publish(outcome.found, Force, settings, outcome);
        else
            m_host.EventMsg(QStringLiteral("No need to update at this time"));
    }
    sPreviousIP = published ? sCurrentIP : QString();
    sPreviousIPv6 = published ? sCurrentIPv6 : QString();

    outcome.finishedAt = m_clock.now();
    m_host.EventMsg(QStringLiteral("Finished update processing at: ") +
                    FormatDate(outcome.finishedAt, kCheckTimePattern));
}

bool UpdateCheck::publish(const CheckAddresses& found, bool Force, const Settings& settings,
                          CheckOutcome& outcome)
{
    PublishContext context{settings, outcome.previous, Force, {}};
    bool everywhere = true;
    for (Target& t : m_targets) {
        const QString name = t.target->Name();
        if (!t.target->Enabled(settings)) {
            // Switched on again later, it gets the addresses whatever they are.
            t.holds = {};
            context.states.insert(name, QStringLiteral("off"));
            continue;
        }
        if (!Force && t.holds == found) {
            context.states.insert(name, QStringLiteral("published"));
            continue;
        }
        const PublishTarget::Result result = t.target->Publish(found, context);
        outcome.targets.append({name, result});
        t.last = TargetStatus{m_clock.now(), found, result};
        const bool done = result == PublishTarget::Result::Published;
        t.holds = done ? found : CheckAddresses();
        context.states.insert(name, ResultText(done ? result : PublishTarget::Result::Failed));
        everywhere = everywhere && done;
    }
    return everywhere;
}

std::optional<UpdateCheck::TargetStatus> UpdateCheck::LastStatus(const QString& name) const
{
    for (const Target& t : m_targets) {
        if (t.target->Name() == name)
            return t.last;
    }
    return std::nullopt;
}

QList<std::pair<QString, bool>> UpdateCheck::Targets(const Settings& settings) const
{
    QList<std::pair<QString, bool>> targets;
    for (const Target& t : m_targets)
        targets.append({t.target->Name(), t.target->Enabled(settings)});
    return targets;
}

void UpdateCheck::showIPv6Addresses()
{
    if (sPreviousIPv6.isEmpty() && sCurrentIPv6.isEmpty())
        return;
    m_host.EventMsg(QStringLiteral("Previous IPv6 address: ") + sPreviousIPv6);
    m_host.EventMsg(QStringLiteral("Current IPv6 address: ") + sCurrentIPv6);
}
