#include "components/DnsClient.h"
#include "support/DnsServers.h"
#include "support/LoopbackServer.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

TEST(DnsServerText, HostPortAndBracketedIPv6)
{
    const struct
    {
        const char* text;
        const char* host; // null: refused
        quint16 port;
    } cases[] = {
        {"ns.example.org", "ns.example.org", 53},
        {"127.0.0.1:5353", "127.0.0.1", 5353},
        {"[::1]:5353", "::1", 5353},
        {"[2001:db8::1]", "2001:db8::1", 53},
        {"2001:db8::1", "2001:db8::1", 53},
        {"ns:0", nullptr, 0},
        {"ns:x", nullptr, 0},
        {"[::1", nullptr, 0},
        {"", nullptr, 0},
    };
    for (const auto& c : cases) {
        QString problem;
        const std::optional<DnsServer> server = DnsServer::Parse(QLatin1String(c.text), &problem);
        ASSERT_EQ(server.has_value(), c.host != nullptr) << c.text;
        if (server) {
            EXPECT_EQ(server->host, QLatin1String(c.host)) << c.text;
            EXPECT_EQ(server->port, c.port) << c.text;
        } else {
            EXPECT_TRUE(problem.contains(QLatin1String(c.text))) << problem.toStdString();
        }
    }
    const QString zone = QStringLiteral("example.org");
    EXPECT_EQ(DnsClient::AbsoluteName(QStringLiteral("home"), zone),
              QStringLiteral("home.example.org."));
    EXPECT_EQ(DnsClient::AbsoluteName(QStringLiteral("Home.Example.ORG"), zone),
              QStringLiteral("Home.Example.ORG."));
    EXPECT_EQ(DnsClient::AbsoluteName(QStringLiteral("example.org"), zone),
              QStringLiteral("example.org."));
    EXPECT_EQ(DnsClient::AbsoluteName(QStringLiteral("other.net."), zone),
              QStringLiteral("other.net."));
}

// Key files as tsig-keygen and Knot's keymgr write them.
TEST(DnsServerText, TsigKeyFiles)
{
    const std::optional<TsigKey> bind = TsigKey::FromKeyFile(
        "key \"home-key\" {\n\talgorithm hmac-sha512;\n\tsecret \"c2VjcmV0+/==\";\n};\n");
    ASSERT_TRUE(bind);
    EXPECT_EQ(bind->name, QStringLiteral("home-key"));
    EXPECT_EQ(bind->algorithm, QStringLiteral("hmac-sha512"));
    EXPECT_EQ(bind->secret, QStringLiteral("c2VjcmV0+/=="));
    const std::optional<TsigKey> knot = TsigKey::FromKeyFile(
        "# hmac-sha256:home-key:c2Vj\nkey:\n  - id: home-key\n    algorithm: hmac-sha256\n"
        "    secret: c2VjcmV0\n");
    ASSERT_TRUE(knot);
    EXPECT_EQ(knot->name, QStringLiteral("home-key"));
    EXPECT_EQ(knot->secret, QStringLiteral("c2VjcmV0"));
    EXPECT_FALSE(TsigKey::FromKeyFile("key \"half\" { algorithm hmac-sha256; };"));
}

template <class Server> class DnsClientOnServer : public ::testing::Test
{
};
using Servers = ::testing::Types<KnotServer, BindServer>;
TYPED_TEST_SUITE(DnsClientOnServer, Servers);

// Against real Knot and BIND: a signed update replaces the RRset of each family given and
// leaves the other alone; the server's own answer shows it; a wrong key changes nothing.
TYPED_TEST(DnsClientOnServer, SignedUpdatesReplaceAndTheServerTellsWhatItHolds)
{
    const TypeParam knot;
    const DnsServer server{QStringLiteral("127.0.0.1"), knot.port()};
    const DnsClient client(
        server, {DnsTestServer::keyName(), DnsTestServer::algorithm(), DnsTestServer::secret()}, 2s,
        3);
    const QString name = QStringLiteral("home");
    // The server's own account, for a failure below.
    const auto serverSaid = [&] { return knot.log().toStdString(); };

    DnsClient::Answer answer =
        client.Update(DnsTestServer::zone(), name, 60, QStringLiteral("203.0.113.7"),
                      QStringLiteral("2001:db8::7"));
    EXPECT_EQ(answer.error, QString());
    EXPECT_EQ(answer.rcode, QStringLiteral("NOERROR")) << serverSaid();
    DnsClient::Addresses held = client.Lookup(QStringLiteral("home.example.org"));
    EXPECT_EQ(held.a, QStringList{QStringLiteral("203.0.113.7")}) << held.error.toStdString();
    EXPECT_EQ(held.aaaa, QStringList{QStringLiteral("2001:db8::7")});

    answer = client.Update(DnsTestServer::zone(), name, 60, QStringLiteral("203.0.113.8"), {});
    EXPECT_EQ(answer.rcode, QStringLiteral("NOERROR"))
        << answer.error.toStdString() << serverSaid();
    held = client.Lookup(QStringLiteral("home.example.org"));
    EXPECT_EQ(held.a, QStringList{QStringLiteral("203.0.113.8")}) << held.error.toStdString();
    EXPECT_EQ(held.aaaa, QStringList{QStringLiteral("2001:db8::7")}) << "a family not found stays";

    const DnsClient forger(server,
                           {DnsTestServer::keyName(), DnsTestServer::algorithm(),
                            QStringLiteral("d3Jvbmcgc2VjcmV0IGZvciB0aGUga2V5IQ==")},
                           2s, 3);
    answer = forger.Update(DnsTestServer::zone(), name, 60, QStringLiteral("192.0.2.66"), {});
    EXPECT_NE(answer.rcode, QStringLiteral("NOERROR"));
    EXPECT_EQ(client.Lookup(QStringLiteral("home.example.org")).a,
              QStringList{QStringLiteral("203.0.113.8")});

    // Refusals come back as such, and change nothing: no key, a zone the server does not have
    // (whose refusal a server may leave unsigned).
    const DnsClient unsigned_(server, {}, 2s, 3);
    for (const auto& [refused, zone] :
         {std::pair{&unsigned_, "example.org"}, std::pair{&client, "example.net"}}) {
        answer = refused->Update(QLatin1String(zone), QStringLiteral("home"), 60,
                                 QStringLiteral("192.0.2.66"), {});
        EXPECT_TRUE(answer.rcode == QLatin1String("REFUSED") ||
                    answer.rcode == QLatin1String("NOTAUTH") ||
                    answer.error.contains(QStringLiteral("signature")))
            << zone << ": " << answer.rcode.toStdString() << answer.error.toStdString();
    }
    EXPECT_EQ(client.Lookup(QStringLiteral("home.example.org")).a,
              QStringList{QStringLiteral("203.0.113.8")});

    // Forty records do not fit an answer over UDP: it comes truncated and is asked over TCP.
    held = client.Lookup(QStringLiteral("many.example.org"));
    EXPECT_EQ(held.a.size(), 40) << held.error.toStdString() << serverSaid();
}

TEST(DnsClientOnSilentServer, IsGivenUpInBoundedTime)
{
    const DnsClient client({QStringLiteral("127.0.0.1"), LoopbackServer::UnusedPort()}, {}, 300ms,
                           3);
    QElapsedTimer elapsed;
    elapsed.start();
    const DnsClient::Answer answer =
        client.Update(QStringLiteral("example.org"), QStringLiteral("home"), 60,
                      QStringLiteral("203.0.113.7"), {});
    EXPECT_FALSE(answer.error.isEmpty());
    EXPECT_LT(elapsed.elapsed(), 8000);
}

} // namespace
