#pragma once

#include "engine/AdapterListing.h"

#include <QString>

#include <functional>
#include <optional>

class CheckHost;
class ErrorReporter;
class QIODevice;
class ScriptRunner;
class cWinVer;

// Reads an adapter configuration listing: the first line containing `adapterIdentity` opens
// the adapter's section, and the first later line containing "IP Address" gives the address
// after its first ":". "0.0.0.0" means the adapter holds none. Progress lines go to
// `eventMsg`. Returns the address, or empty. With `ipv6`, it also gets the value of the first
// "IPv6 Address" line of the adapter's own section (which ends at the next adapter header),
// or empty, and the history tells it after the IPv4 lines.
QString ReadAdapterAddress(QIODevice& listing, const QString& adapterIdentity,
                           const std::function<void(const QString&)>& eventMsg,
                           QString* ipv6 = nullptr);

// The identity that has discovery ask, through "getip-public.sh", which address the Internet
// sees, for a machine behind a router; matched without regard to case. Only this choice of
// the user's sends a request out of the machine.
inline constexpr QLatin1String kPublicIdentity("public");

// Finds the address the dial-up adapter holds now: runs the platform's address-report script,
// which leaves the listing in "hostvane.ip", and reads it.
class AddressDiscovery
{
public:
    AddressDiscovery(const cWinVer& platform, CheckHost& host, ErrorReporter& errors,
                     ScriptRunner& scripts)
        : m_platform(platform), m_host(host), m_errors(errors), m_scripts(scripts)
    {
    }

    // Seconds the script's results are given to settle after it ends.
    void setSettleSeconds(qint16 seconds) { m_settleSeconds = seconds; }

    // The IPv4 address, or empty; `ipv6`, when given, gets the IPv6 address, or empty.
    QString GetIP(const QString& adapterIdentity, QString* ipv6 = nullptr);

    // After a GetIP that found no address, the history line naming what the listing held;
    // empty when the script failed and there was no listing to go by.
    QString ListingHint() const;

private:
    const cWinVer& m_platform;
    CheckHost& m_host;
    ErrorReporter& m_errors;
    ScriptRunner& m_scripts;
    qint16 m_settleSeconds = 2;
    std::optional<QList<ListedAdapter>> m_listed;
};
