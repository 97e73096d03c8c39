#include "engine/AddressDiscovery.h"

#include "engine/CheckHost.h"
#include "engine/ErrorReporter.h"
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
    const QString commandLine =
        nt ? QStringLiteral("getipNT.bat > nul") : QStringLiteral("getip95.bat");

    QString address;
    const qint32 exitCode = ShellWait(commandLine, !nt, m_settleSeconds);
    if (exitCode != 0) {
        m_errors.LogError(QStringLiteral("error:") + NumberText(exitCode) +
                          QStringLiteral(" running getip.bat"));
    } else {
        QFile listing(QStringLiteral("hostvane.ip"));
        if (OpenRegularFile(listing, QIODevice::ReadOnly)) {
            address = ReadAdapterAddress(listing, adapterIdentity,
                                         [this](const QString& msg) { m_host.EventMsg(msg); });
        }
    }
    m_host.ShowAddressPanel(QStringLiteral("Current IP address: ") + address);
    return address;
}
