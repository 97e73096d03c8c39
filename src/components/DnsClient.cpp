#include "components/DnsClient.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QRegularExpression>

#include <ldns/ldns.h>

#include <cstdlib>
#include <memory>

namespace {

template <class T, void (*Free)(T*)> struct Deleter
{
    void operator()(T* p) const
    {
        if (p)
            Free(p);
    }
};
using Resolver = std::unique_ptr<ldns_resolver, Deleter<ldns_resolver, ldns_resolver_deep_free>>;
using Packet = std::unique_ptr<ldns_pkt, Deleter<ldns_pkt, ldns_pkt_free>>;
using RrList = std::unique_ptr<ldns_rr_list, Deleter<ldns_rr_list, ldns_rr_list_deep_free>>;
using Rdf = std::unique_ptr<ldns_rdf, Deleter<ldns_rdf, ldns_rdf_deep_free>>;
struct CharsFree
{
    void operator()(char* p) const { std::free(p); }
};
using Chars = std::unique_ptr<char, CharsFree>;

QByteArray withRootDot(const QString& name)
{
    return (name.endsWith(QLatin1Char('.')) ? name : name + QLatin1Char('.')).toUtf8();
}

QString text(Chars chars)
{
    return chars ? QString::fromUtf8(chars.get()) : QString();
}

// The server's address, as written or looked up.
std::optional<QHostAddress> serverAddress(const QString& host, QString& error)
{
    if (QHostAddress address; address.setAddress(host))
        return address;
    const QHostInfo info = QHostInfo::fromName(host);
    if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
        error = QStringLiteral("cannot find the server %1: %2").arg(host, info.errorString());
        return std::nullopt;
    }
    return info.addresses().first();
}

// A resolver for the one server: no recursion asked, UDP, each attempt bounded. With `key`,
// what it sends is signed and what comes back must carry a valid signature.
Resolver resolver(const QHostAddress& address, quint16 port, std::chrono::milliseconds timeout,
                  int tries, const TsigKey* key)
{
    Resolver r(ldns_resolver_new());
    const bool six = address.protocol() == QAbstractSocket::IPv6Protocol;
    const Rdf server(ldns_rdf_new_frm_str(six ? LDNS_RDF_TYPE_AAAA : LDNS_RDF_TYPE_A,
                                          address.toString().toLatin1().constData()));
    if (!r || !server || ldns_resolver_push_nameserver(r.get(), server.get()) != LDNS_STATUS_OK)
        return nullptr;
    ldns_resolver_set_port(r.get(), port);
    const auto ms = timeout.count();
    ldns_resolver_set_timeout(r.get(), timeval{static_cast<time_t>(ms / 1000),
                                               static_cast<suseconds_t>(ms % 1000 * 1000)});
    ldns_resolver_set_retry(r.get(), static_cast<uint8_t>(tries));
    ldns_resolver_set_retrans(r.get(), 1);
    ldns_resolver_set_recursive(r.get(), false);
    ldns_resolver_set_usevc(r.get(), false);
    if (key && !key->name.isEmpty()) {
        ldns_resolver_set_tsig_keyname(r.get(), withRootDot(key->name).constData());
        ldns_resolver_set_tsig_algorithm(r.get(), withRootDot(key->algorithm).constData());
        ldns_resolver_set_tsig_keydata(r.get(), key->secret.toLatin1().constData());
    }
    return r;
}

// Sends `message`; again over TCP when the answer over UDP comes truncated.
Packet exchange(ldns_resolver* r, ldns_pkt* message, QString& error)
{
    ldns_pkt* received = nullptr;
    ldns_status status = ldns_resolver_send_pkt(&received, r, message);
    Packet answer(received);
    if (status == LDNS_STATUS_OK && answer && ldns_pkt_tc(answer.get())) {
        ldns_resolver_set_usevc(r, true);
        received = nullptr;
        status = ldns_resolver_send_pkt(&received, r, message);
        answer.reset(received);
    }
    // A server that does not know the key, or not with this secret, cannot sign its refusal.
    if (status == LDNS_STATUS_CRYPTO_TSIG_BOGUS)
        error = QStringLiteral("the answer does not carry the key's valid signature: the server "
                               "knows another secret for the key, or no such key for the zone");
    else if (status != LDNS_STATUS_OK)
        error = QString::fromUtf8(ldns_get_errorstr_by_id(status));
    else if (!answer)
        error = QStringLiteral("no answer");
    return status == LDNS_STATUS_OK ? std::move(answer) : nullptr;
}

QString rcodeOf(const ldns_pkt* answer)
{
    return text(Chars(ldns_pkt_rcode2str(ldns_pkt_get_rcode(answer))));
}

} // namespace

std::optional<DnsServer> DnsServer::Parse(const QString& text, QString* problem)
{
    DnsServer server;
    QString host = text.trimmed();
    QString port;
    if (host.startsWith(QLatin1Char('['))) {
        const qsizetype close = host.indexOf(QLatin1Char(']'));
        if (close > 0 && (close == host.size() - 1 || host.at(close + 1) == QLatin1Char(':'))) {
            port = host.mid(close + 2);
            host = host.mid(1, close - 1);
        }
    } else if (host.count(QLatin1Char(':')) == 1) {
        port = host.section(QLatin1Char(':'), 1);
        host = host.section(QLatin1Char(':'), 0, 0);
    }
    bool ok = true;
    if (!port.isEmpty())
        server.port = port.toUShort(&ok);
    server.host = host;
    if (host.isEmpty() || host.contains(QLatin1Char('[')) || !ok || server.port == 0) {
        if (problem)
            *problem = QStringLiteral("the DNS server \"%1\" is not host, host:port or "
                                      "[IPv6 address]:port")
                           .arg(text);
        return std::nullopt;
    }
    return server;
}

std::optional<TsigKey> TsigKey::FromKeyFile(const QByteArray& text)
{
    // BIND: key "name" { algorithm hmac-sha256; secret "..."; };
    // Knot: key: - id: name / algorithm: hmac-sha256 / secret: ...
    const QString file = QString::fromUtf8(text);
    const auto value = [&](const QString& pattern) {
        return QRegularExpression(pattern).match(file).captured(1);
    };
    TsigKey key{value(QStringLiteral(R"re((?:^|\s)key\s+"?([^"\s{]+)"?\s*\{)re")),
                value(QStringLiteral(R"re(\balgorithm[:\s]\s*"?([A-Za-z0-9-]+))re")),
                value(QStringLiteral(R"re(\bsecret[:\s]\s*"?([A-Za-z0-9+/=]+))re"))};
    if (key.name.isEmpty())
        key.name = value(QStringLiteral(R"re(\bid:\s*"?([^"\s]+))re"));
    if (key.name.isEmpty() || key.algorithm.isEmpty() || key.secret.isEmpty())
        return std::nullopt;
    return key;
}

QString DnsClient::AbsoluteName(const QString& name, const QString& zone)
{
    QString absolute = name.trimmed();
    if (absolute.endsWith(QLatin1Char('.')))
        return absolute;
    const QString origin =
        zone.trimmed().endsWith(QLatin1Char('.')) ? zone.trimmed().chopped(1) : zone.trimmed();
    const bool inZone = absolute.compare(origin, Qt::CaseInsensitive) == 0 ||
                        absolute.endsWith(QLatin1Char('.') + origin, Qt::CaseInsensitive);
    return (inZone ? absolute : absolute + QLatin1Char('.') + origin) + QLatin1Char('.');
}

DnsClient::Answer DnsClient::Update(const QString& zone, const QString& name, quint32 ttl,
                                    const QString& ip, const QString& ip6) const
{
    Answer result;
    const std::optional<QHostAddress> address = serverAddress(m_server.host, result.error);
    if (!address)
        return result;
    const Resolver r = resolver(*address, m_server.port, m_timeout, m_tries, &m_key);
    const QByteArray owner = withRootDot(AbsoluteName(name, zone));
    RrList changes(ldns_rr_list_new());
    for (const auto& [type, typeName, value] :
         {std::tuple{LDNS_RR_TYPE_A, "A", ip}, std::tuple{LDNS_RR_TYPE_AAAA, "AAAA", ip6}}) {
        if (value.isEmpty())
            continue;
        // Delete the RRset (class ANY, no data), then add the one record: the set is replaced.
        ldns_rr* removal = ldns_rr_new();
        ldns_rr_set_owner(removal, ldns_dname_new_frm_str(owner.constData()));
        ldns_rr_set_type(removal, type);
        ldns_rr_set_class(removal, LDNS_RR_CLASS_ANY);
        ldns_rr_set_ttl(removal, 0);
        ldns_rr_list_push_rr(changes.get(), removal);
        ldns_rr* addition = nullptr;
        const QByteArray record =
            owner + ' ' + QByteArray::number(ttl) + " IN " + typeName + ' ' + value.toLatin1();
        if (ldns_rr_new_frm_str(&addition, record.constData(), ttl, nullptr, nullptr) !=
            LDNS_STATUS_OK) {
            result.error = QStringLiteral("cannot make the record ") + QString::fromUtf8(record);
            return result;
        }
        ldns_rr_list_push_rr(changes.get(), addition);
    }
    const Packet update(ldns_update_pkt_new(ldns_dname_new_frm_str(withRootDot(zone).constData()),
                                            LDNS_RR_CLASS_IN, nullptr, changes.get(), nullptr));
    if (!r || !update) {
        result.error = QStringLiteral("cannot make the update for the zone ") + zone;
        return result;
    }
    ldns_pkt_set_random_id(update.get());
    if (!m_key.name.isEmpty() &&
        ldns_update_pkt_tsig_add(update.get(), r.get()) != LDNS_STATUS_OK) {
        result.error = QStringLiteral("cannot sign with the TSIG key ") + m_key.name;
        return result;
    }
    if (const Packet answer = exchange(r.get(), update.get(), result.error))
        result.rcode = rcodeOf(answer.get());
    return result;
}

DnsClient::Addresses DnsClient::Lookup(const QString& name) const
{
    Addresses result;
    const std::optional<QHostAddress> address = serverAddress(m_server.host, result.error);
    if (!address)
        return result;
    const Resolver r = resolver(*address, m_server.port, m_timeout, m_tries, nullptr);
    for (const auto& [type, found] :
         {std::pair{LDNS_RR_TYPE_A, &result.a}, std::pair{LDNS_RR_TYPE_AAAA, &result.aaaa}}) {
        const Packet query(ldns_pkt_query_new(ldns_dname_new_frm_str(withRootDot(name).constData()),
                                              type, LDNS_RR_CLASS_IN, 0));
        if (!r || !query) {
            result.error = QStringLiteral("cannot ask for ") + name;
            return result;
        }
        ldns_pkt_set_random_id(query.get());
        const Packet answer = exchange(r.get(), query.get(), result.error);
        if (!answer)
            return result;
        const RrList records(ldns_pkt_rr_list_by_type(answer.get(), type, LDNS_SECTION_ANSWER));
        for (size_t i = 0; records && i < ldns_rr_list_rr_count(records.get()); ++i)
            found->append(
                text(Chars(ldns_rdf2str(ldns_rr_rdf(ldns_rr_list_rr(records.get(), i), 0)))));
    }
    return result;
}
