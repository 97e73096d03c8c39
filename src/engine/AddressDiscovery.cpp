#include "engine/AddressDiscovery.h"

#include "engine/CheckHost.h"
#include "engine/ErrorReporter.h"
#include "engine/PrivateAddress.h"
#include "platform/RegularFile.h"
#include "system/RuntimeFormat.h"
#include "system/ShellSuprt.h"
#include "system/cWinVer.h"

#include <QFile>

#include <utility>

QString ReadAdapterAddress(QIODevice& listing, const QString& adapterIdentity,
                           const std::function<void(const QString&)>& eventMsg, QString* ipv6)
{
    bool adapterSeen = false;
    bool addressSeen = false;
    // The IPv6 address must be the adapter's own, so its search ends with the adapter's
    // section; the IPv4 search goes on past it, as it always has.
    bool inSection = false;
    bool ipv6Wanted = ipv6 != nullptr;
    QString address;
    QString address6;
    const auto done = [&] { return addressSeen && !(ipv6Wanted && inSection); };
    while (!listing.atEnd() && !done()) {
        QByteArray raw = listing.readLine();
        if (raw.endsWith('\n'))
            raw.chop(1);
        if (raw.endsWith('\r'))
            raw.chop(1);
        const QString line = QString::fromLocal8Bit(raw);
        if (!adapterSeen) {
            // An empty identity is found in every line that has any text.
            if (!line.isEmpty() && line.contains(adapterIdentity, Qt::CaseInsensitive)) {
                eventMsg(QStringLiteral("Adapter found at: ") + TrimBlanks(line));
                adapterSeen = true;
                inSection = true;
            }
            continue;
        }
        if (IsAdapterHeader(line))
            inSection = false;
        // "IPv6 Address" does not contain "IP Address"; a line with both is the IPv4 line.
        const bool ipv4Line = line.contains(QLatin1String("IP Address"), Qt::CaseInsensitive);
        if (ipv6Wanted && inSection && !ipv4Line &&
            line.contains(QLatin1String("IPv6 Address"), Qt::CaseInsensitive)) {
            ipv6Wanted = false;
            const qsizetype colon = line.indexOf(QLatin1Char(':'));
            if (colon >= 0)
                address6 = TrimBlanks(line.mid(colon + 1));
        }
        if (addressSeen)
            continue;
        if (!ipv4Line)
            continue;
        eventMsg(QStringLiteral("IP Found at: ") + TrimBlanks(line));
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon >= 0) {
            address = TrimBlanks(line.mid(colon + 1));
            eventMsg(QStringLiteral("IP resolved: ") + address);
            if (address == QLatin1String("0.0.0.0"))
                address.clear();
        }
        addressSeen = true;
    }
    if (ipv6) {
        if (!address6.isEmpty())
            eventMsg(QStringLiteral("IPv6 resolved: ") + address6);
        *ipv6 = address6;
    }
    return address;
}

QString AddressDiscovery::GetIP(const QString& adapterIdentity, QString* ipv6)
{
    const bool nt = m_platform.WinverPlatform() == cWinVer::WindowsNT;
    const bool publicAddress = adapterIdentity.compare(kPublicIdentity, Qt::CaseInsensitive) == 0;
    const QString commandLine = publicAddress ? QStringLiteral("getip-public.sh > nul")
                                : nt          ? QStringLiteral("getipNT.bat > nul")
                                              : QStringLiteral("getip95.bat");

    QString address;
    QString address6;
    m_listed.reset();
    QString scriptSaid;
    const qint32 exitCode =
        m_scripts.Run(commandLine, !nt, m_settleSeconds, std::chrono::seconds(60), &scriptSaid);
    if (exitCode != 0) {
        // The message names the script that really ran, and why it failed as far as it said.
        const QString script = commandLine.section(QLatin1Char(' '), 0, 0);
        m_errors.LogErrorInHistory(
            QStringLiteral("error:") + NumberText(exitCode) + QStringLiteral(" running getip.bat") +
            QStringLiteral(" (") + script +
            (scriptSaid.isEmpty() ? QString() : QStringLiteral(": ") + scriptSaid) +
            QLatin1Char(')'));
    } else {
        m_listed.emplace();
        QFile listing(QStringLiteral("hostvane.ip"));
        if (OpenRegularFile(listing, QIODevice::ReadOnly)) {
            address = ReadAdapterAddress(
                listing, adapterIdentity, [this](const QString& msg) { m_host.EventMsg(msg); },
                &address6);
            // What goes onto the page must be an address and nothing else: a listing line
            // of markup or a loopback address counts as no address at all.
            for (auto [found, v6] : {std::pair{&address, false}, std::pair{&address6, true}}) {
                if (!found->isEmpty() && !IsUsableAddress(*found, v6)) {
                    m_host.EventMsg((v6 ? QStringLiteral("Not a usable IPv6 address: ")
                                        : QStringLiteral("Not a usable IPv4 address: ")) +
                                    PrintableText(*found));
                    found->clear();
                }
                if (IsPrivateAddress(*found))
                    m_host.EventMsg(PrivateAddressNotice(*found));
            }
            if (address.isEmpty() && address6.isEmpty() && listing.seek(0))
                m_listed = ListedAdapters(listing);
        }
    }
    if (ipv6)
        *ipv6 = address6;
    return address;
}

QString AddressDiscovery::ListingHint() const
{
    return m_listed ? ListedAdaptersHint(*m_listed) : QString();
}
