#include "engine/DnsTarget.h"

#include "components/DnsClient.h"
#include "engine/CheckHost.h"
#include "engine/TargetNames.h"
#include "settings/Settings.h"
#include "system/OffThread.h"

#include <QHostAddress>

namespace {

using namespace std::chrono_literals;

// Each attempt's wait: a DNS server answers within milliseconds when it answers at all.
constexpr auto kAttemptTimeout = 3s;
constexpr int kTries = 3;

QString recordsText(const CheckAddresses& addresses)
{
    QStringList records;
    if (!addresses.ip.isEmpty())
        records << QStringLiteral("A ") + addresses.ip;
    if (!addresses.ip6.isEmpty())
        records << QStringLiteral("AAAA ") + addresses.ip6;
    return records.join(QStringLiteral(", "));
}

bool holds(const QStringList& held, const QString& address)
{
    const QHostAddress wanted(address);
    return std::any_of(held.cbegin(), held.cend(),
                       [&](const QString& record) { return QHostAddress(record) == wanted; });
}

} // namespace

bool DnsTarget::Enabled(const Settings& settings) const
{
    return !settings.sDnsServer.isEmpty();
}

PublishTarget::Result DnsTarget::Publish(const CheckAddresses& addresses,
                                         const PublishContext& context)
{
    const Settings& settings = context.settings;
    QString problem;
    const std::optional<DnsServer> server = DnsServer::Parse(settings.sDnsServer, &problem);
    const QStringList names = TargetNames(settings.sDnsNames);
    if (!server || settings.sDnsZone.isEmpty() || names.isEmpty()) {
        m_host.EventMsg(
            QStringLiteral("DNS update not sent: ") +
            (!server ? problem : QStringLiteral("enter the zone and at least one name")));
        return Result::Failed;
    }
    const DnsClient client(*server,
                           {settings.sTsigName, settings.sTsigAlgorithm, settings.sTsigSecret},
                           kAttemptTimeout, kTries);
    const quint32 ttl = static_cast<quint32>(settings.lDnsTtl);
    bool everyName = true;
    for (const QString& name : names) {
        const QString absolute = DnsClient::AbsoluteName(name, settings.sDnsZone);
        m_host.EventMsg(QStringLiteral("DNS update sent to %1 for %2: %3 (TTL %4%5)")
                            .arg(settings.sDnsServer, absolute, recordsText(addresses))
                            .arg(ttl)
                            .arg(settings.sTsigName.isEmpty()
                                     ? QStringLiteral(", unsigned")
                                     : QStringLiteral(", key ") + settings.sTsigName));
        const DnsClient::Answer answer = WaitOffThread([&] {
            return client.Update(settings.sDnsZone, name, ttl, addresses.ip, addresses.ip6);
        });
        if (!answer.error.isEmpty() || answer.rcode != QLatin1String("NOERROR")) {
            QStringList why;
            if (!answer.rcode.isEmpty())
                why << QStringLiteral("the server answered ") + answer.rcode;
            if (!answer.error.isEmpty())
                why << answer.error;
            m_host.EventMsg(QStringLiteral("DNS update of %1 failed: %2")
                                .arg(absolute, why.join(QStringLiteral("; "))));
            everyName = false;
            continue;
        }
        m_host.EventMsg(QStringLiteral("DNS server answered NOERROR for ") + absolute);
        const DnsClient::Addresses held = WaitOffThread([&] { return client.Lookup(absolute); });
        const bool verified = held.error.isEmpty() &&
                              (addresses.ip.isEmpty() || holds(held.a, addresses.ip)) &&
                              (addresses.ip6.isEmpty() || holds(held.aaaa, addresses.ip6));
        if (verified) {
            m_host.EventMsg(
                QStringLiteral("DNS name verified: %1 %2").arg(absolute, recordsText(addresses)));
        } else {
            m_host.EventMsg(
                QStringLiteral("DNS name NOT verified: %1 holds %2")
                    .arg(absolute, !held.error.isEmpty()
                                       ? QStringLiteral("what could not be asked: ") + held.error
                                       : QStringLiteral("A %1, AAAA %2")
                                             .arg(held.a.join(QLatin1Char(' ')),
                                                  held.aaaa.join(QLatin1Char(' ')))));
            everyName = false;
        }
    }
    return everyName ? Result::Published : Result::Failed;
}
