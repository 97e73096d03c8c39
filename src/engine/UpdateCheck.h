#pragma once

#include "engine/CheckOutcome.h"

#include <QString>

class AddressDiscovery;
class CheckHost;
class Clock;
class PublishSequence;
struct Settings;

// One complete check: find the address, compare it with the previous check's, and publish
// the page when it changed or the check was forced. The whole check is written into the
// event history, from "Checking IP address at: " to "Finished update processing at: ".
class UpdateCheck
{
public:
    UpdateCheck(const Clock& clock, const Settings& settings, CheckHost& host,
                AddressDiscovery& discovery, PublishSequence& publish)
        : m_clock(clock), m_settings(settings), m_host(host), m_discovery(discovery),
          m_publish(publish)
    {
    }

    // Force: publish even when the address is unchanged, and check even when automatic
    // checking is off. A call while a check is running returns at once: there is one pair
    // of addresses and one FTP connection, so checks never overlap. True when a check ran.
    bool Process(bool Force);

    bool Checking() const { return m_checking; }
    const CheckOutcome& LastOutcome() const { return m_outcome; }

    QString sCurrentIP;
    QString sPreviousIP;
    // The same for the adapter's IPv6 address; a change of either publishes.
    QString sCurrentIPv6;
    QString sPreviousIPv6;

private:
    void run(bool Force);
    void showIPv6Addresses();

    const Clock& m_clock;
    const Settings& m_settings;
    CheckHost& m_host;
    AddressDiscovery& m_discovery;
    PublishSequence& m_publish;
    bool m_checking = false;
    CheckOutcome m_outcome;
};
