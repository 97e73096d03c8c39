#pragma once

#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

// A DNS server as the user wrote it: "host", "host:port", "[v6]:port" or a bare IPv6 address.
struct DnsServer
{
    QString host;
    quint16 port = 53;

    // The server in `text`; nothing, with `problem` set, when it cannot be used.
    static std::optional<DnsServer> Parse(const QString& text, QString* problem);
};

// A TSIG key (RFC 8945): its name, its algorithm ("hmac-sha256", "hmac-sha512" or
// "hmac-sha1") and its secret in base64.
struct TsigKey
{
    QString name;
    QString algorithm;
    QString secret;

    // The key in a key file as tsig-keygen (BIND) or keymgr -t (Knot) writes it; nothing when
    // the text holds no complete key.
    static std::optional<TsigKey> FromKeyFile(const QByteArray& text);
};

// Speaks to one DNS server through ldns, which builds, signs and checks every message: dynamic
// updates (RFC 2136) signed with the key, and queries without recursion. UDP first, TCP when
// the answer comes truncated; each attempt waits at most `timeout`, and a message is sent at
// most `tries` times. Every call blocks until it has its answer or gives up: run it off the
// event loop's thread.
class DnsClient
{
public:
    DnsClient(DnsServer server, TsigKey key, std::chrono::milliseconds timeout, int tries)
        : m_server(std::move(server)), m_key(std::move(key)), m_timeout(timeout), m_tries(tries)
    {
    }

    struct Answer
    {
        QString error; // why no usable answer came; empty when one did
        QString rcode; // the answer's response code: "NOERROR", "REFUSED", "NOTAUTH" ...
    };
    // In `zone`, replaces the A RRset of `name` by `ip` and its AAAA RRset by `ip6`, each only
    // when given: a family not given is left as it is.
    Answer Update(const QString& zone, const QString& name, quint32 ttl, const QString& ip,
                  const QString& ip6) const;

    struct Addresses
    {
        QString error;
        QStringList a;
        QStringList aaaa;
    };
    // The A and AAAA records the server itself holds for `name`.
    Addresses Lookup(const QString& name) const;

    // `name` as an absolute domain name: a name outside `zone` is taken as relative to it.
    static QString AbsoluteName(const QString& name, const QString& zone);

private:
    DnsServer m_server;
    TsigKey m_key;
    std::chrono::milliseconds m_timeout;
    int m_tries;
};
