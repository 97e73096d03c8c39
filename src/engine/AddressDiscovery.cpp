#include "engine/AddressDiscovery.h"

#include "engine/CheckHost.h"
#include "engine/ErrorReporter.h"
#include "engine/PrivateAddress.h"
#include "platform/RegularFile.h"
#include "system/RuntimeFormat.h"
#include "system/ShellSuprt.h"
#include "system/cWinVer.h"

#include <QFile>

QString ReadAdapterAddress(QIODevice& listing, const QString& adapterIdentity,
                           const std::function<void(const QString&)>& eventMsg)
{
    bool adapterSeen = false;
    QString address;
    while (!listing.atEnd()) {
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
            }
            continue;
        }
        if (!line.contains(QLatin1String("IP Address"), Qt::CaseInsensitive))
            continue;
        eventMsg(QStringLiteral("IP Found at: ") + TrimBlanks(line));
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon >= 0) {
            address = TrimBlanks(line.mid(colon + 1));
            eventMsg(QStringLiteral("IP resolved: ") + address);
            if (address == QLatin1String("0.0.0.0"))
                address.clear();
        }
        break;
    }
    return address;
}

QString AddressDiscovery::GetIP(const QString& adapterIdentity)
{
    const bool nt = m_platform.WinverPlatform() == cWinVer::WindowsNT;
    const bool publicAddress = adapterIdentity.compare(kPublicIdentity, Qt::CaseInsensitive) == 0;
    const QString commandLine = publicAddress ? QStringLiteral("getip-public.sh > nul")
                                : nt          ? QStringLiteral("getipNT.bat > nul")
                                              : QStringLiteral("getip95.bat");

    QString address;
    m_listed.reset();
    const qint32 exitCode = ShellWait(commandLine, !nt, m_settleSeconds);
    if (exitCode != 0) {
        m_errors.LogError(QStringLiteral("error:") + NumberText(exitCode) +
                          QStringLiteral(" running getip.bat"));
    } else {
        m_listed.emplace();
        QFile listing(QStringLiteral("hostvane.ip"));
        if (OpenRegularFile(listing, QIODevice::ReadOnly)) {
            address = ReadAdapterAddress(listing, adapterIdentity,
                                         [this](const QString& msg) { m_host.EventMsg(msg); });
            if (IsPrivateAddress(address))
                m_host.EventMsg(PrivateAddressNotice(address));
            else if (address.isEmpty() && listing.seek(0))
                m_listed = ListedAdapters(listing);
        }
    }
    m_host.ShowAddressPanel(QStringLiteral("Current IP address: ") + address);
    return address;
}

QString AddressDiscovery::ListingHint() const
{
    return m_listed ? ListedAdaptersHint(*m_listed) : QString();
}
