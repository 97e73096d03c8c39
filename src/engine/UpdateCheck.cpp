#include "engine/UpdateCheck.h"

#include "engine/AddressDiscovery.h"
#include "engine/CheckHost.h"
#include "engine/PublishSequence.h"
#include "settings/Settings.h"
#include "system/Clock.h"
#include "system/RuntimeFormat.h"

bool UpdateCheck::Process(bool Force)
{
    if ((!Force && !m_settings.ProcessingEnabled) || m_checking)
        return false;
    m_checking = true;
    run(Force);
    m_checking = false;
    return true;
}

void UpdateCheck::run(bool Force)
{
    // The settings as they were when the check began: a save during the check's waits changes
    // the next check, never this one half-way.
    const Settings settings = m_settings;
    const QString caption = m_host.Caption();
    m_host.SetCaption(QStringLiteral("HostVane-Checking"));
    m_host.ControlsEnable(false);
    m_host.ClearEvents();
    m_host.EventMsg(QStringLiteral("Checking IP address at: ") +
                    FormatDate(m_clock.now(), kCheckTimePattern));

    sCurrentIP = m_discovery.GetIP(settings.sAdapterIdentity, &sCurrentIPv6);
    // A publish that did not get the page onto the server leaves no previous address, so the
    // next scheduled check tries again instead of leaving a stale page up.
    bool published = true;
    bool publishTried = false;
    if (sCurrentIP.isEmpty() && sCurrentIPv6.isEmpty()) {
        m_host.EventMsg(QStringLiteral("Cannot resolve local WAN IP address"));
        if (const QString hint = m_discovery.ListingHint(); !hint.isEmpty())
            m_host.EventMsg(hint);
    } else {
        m_host.EventMsg(QStringLiteral("Previous IP address: ") + sPreviousIP);
        m_host.EventMsg(QStringLiteral("Current IP address: ") + sCurrentIP);
        showIPv6Addresses();
        const bool due = sCurrentIP != sPreviousIP || sCurrentIPv6 != sPreviousIPv6 || Force;
        // Until the real server is entered there is nowhere to publish, and no error in that.
        const bool serverKnown = TrimBlanks(settings.sHost) != SettingsKeys::PlaceholderHost();
        publishTried = due && serverKnown;
        if (publishTried) {
            published = m_publish.Publish(sCurrentIP, settings, sCurrentIPv6);
        } else if (due) {
            published = false;
            m_host.EventMsg(QStringLiteral("Nothing published: enter your FTP server as the "
                                           "Host in File > Properties"));
        } else {
            m_host.EventMsg(QStringLiteral("No need to update at this time"));
        }
    }
    sPreviousIP = published ? sCurrentIP : QString();
    sPreviousIPv6 = published ? sCurrentIPv6 : QString();

    m_host.ControlsEnable(true);
    m_host.LoadTimer();
    m_host.SetCaption(caption);
    m_outcome = {m_clock.now(), sCurrentIP.isEmpty() ? sCurrentIPv6 : sCurrentIP, publishTried,
                 publishTried && published};
    m_host.EventMsg(QStringLiteral("Finished update processing at: ") +
                    FormatDate(m_outcome.finishedAt, kCheckTimePattern));
}

void UpdateCheck::showIPv6Addresses()
{
    if (sPreviousIPv6.isEmpty() && sCurrentIPv6.isEmpty())
        return;
    m_host.EventMsg(QStringLiteral("Previous IPv6 address: ") + sPreviousIPv6);
    m_host.EventMsg(QStringLiteral("Current IPv6 address: ") + sCurrentIPv6);
}
