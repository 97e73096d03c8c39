#pragma once

#include <QString>

#include <functional>

class CheckHost;
class ErrorReporter;
class QIODevice;
class cWinVer;

// Reads an adapter configuration listing: the first line containing `adapterIdentity` opens
// the adapter's section, and the first later line containing "IP Address" gives the address
// after its first ":". "0.0.0.0" means the adapter holds none. Progress lines go to
// `eventMsg`. Returns the address, or empty.
QString ReadAdapterAddress(QIODevice& listing, const QString& adapterIdentity,
                           const std::function<void(const QString&)>& eventMsg);

// Finds the address the dial-up adapter holds now: runs the platform's address-report script,
// which leaves the listing in "hostvane.ip", and reads it.
class AddressDiscovery
{
public:
    AddressDiscovery(const cWinVer& platform, CheckHost& host, ErrorReporter& errors)
        : m_platform(platform), m_host(host), m_errors(errors)
    {
    }

    // Seconds the script's results are given to settle after it ends.
    void setSettleSeconds(qint16 seconds) { m_settleSeconds = seconds; }

    QString GetIP(const QString& adapterIdentity);

private:
    const cWinVer& m_platform;
    CheckHost& m_host;
    ErrorReporter& m_errors;
    qint16 m_settleSeconds = 2;
};
