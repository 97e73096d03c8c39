// getip-public.sh, the address report for a machine behind a router, against an address echo
// service on loopback.

#include "support/LoopbackServer.h"
#include "support/TempWorld.h"

#include "engine/AddressDiscovery.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

namespace {

TEST(PublicAddressScript, WritesTheAnsweredAddressOrFails)
{
    struct Case
    {
        const char* name;
        std::optional<QString> body; // none: a server that never answers
        int status;
        QString address;       // empty: the script fails
        QString body6 = {};    // the IPv6 service's answer; empty: no IPv6 service
        QString address6 = {}; // empty: no IPv6 line
        QStringList options = {};
        bool errorsToLongLog = false; // standard error appended to a log already past 1 KB
    };
    const QString padding(2000, QLatin1Char(' '));
    const Case cases[] = {
        {"one address", QStringLiteral("203.0.113.7\n"), 200, QStringLiteral("203.0.113.7")},
        {"garbage", QStringLiteral("<html><body>hello</body></html>"), 200, {}},
        {"two addresses", QStringLiteral("203.0.113.7\n198.51.100.1\n"), 200, {}},
        {"an octet past 255", QStringLiteral("203.0.113.256"), 200, {}},
        {.name = "an HTTP error, told in a long log",
         .body = QStringLiteral("203.0.113.7"),
         .status = 503,
         .address = {},
         .errorsToLongLog = true},
        {"loopback", QStringLiteral("127.0.0.1"), 200, {}},
        {"this network", QStringLiteral("0.0.0.0"), 200, {}},
        {"no answer within 10 seconds", std::nullopt, 0, {}},
        {"an address padded past 1 KB", QStringLiteral("203.0.113.7") + padding, 200, {}},
        {.name = "the same, its length unannounced",
         .body = QStringLiteral("203.0.113.7") + padding,
         .status = 200,
         .address = {},
         .options = {QStringLiteral("--no-length")}},
        {"IPv4 and IPv6", QStringLiteral("203.0.113.7"), 200, QStringLiteral("203.0.113.7"),
         QStringLiteral("2001:db8::7\r\n"), QStringLiteral("2001:db8::7")},
        {"two '::' in IPv6", QStringLiteral("203.0.113.7"), 200, QStringLiteral("203.0.113.7"),
         QStringLiteral("2001:db8::1::7")},
        {"IPv4 from the IPv6 service", QStringLiteral("203.0.113.7"), 200,
         QStringLiteral("203.0.113.7"), QStringLiteral("203.0.113.9")},
        {"unspecified IPv6", QStringLiteral("203.0.113.7"), 200, QStringLiteral("203.0.113.7"),
         QStringLiteral("::")},
        {"IPv6 loopback", QStringLiteral("203.0.113.7"), 200, QStringLiteral("203.0.113.7"),
         QStringLiteral("::1")},
    };
    bool ipv6 = true; // CI containers may have no ::1
    try {
        LoopbackServer::AddressEcho({}, 200, {QStringLiteral("--ipv6")});
    } catch (const std::runtime_error&) {
        ipv6 = false;
    }
    TempWorld world;
    const QByteArray previous = "the listing of an earlier run\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!ipv6 && !c.body6.isEmpty())
            continue;
        LoopbackServer server = c.body ? LoopbackServer::AddressEcho(*c.body, c.status, c.options)
                                       : LoopbackServer::Silent();
        std::optional<LoopbackServer> server6;
        if (!c.body6.isEmpty())
            server6.emplace(LoopbackServer::AddressEcho(c.body6, 200, {QStringLiteral("--ipv6")}));
        world.writeFile(QStringLiteral("hostvane.ip"), previous);

        QProcess script;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* proxy :
             {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
            environment.remove(QLatin1String(proxy));
        environment.insert(QStringLiteral("HOSTVANE_ECHO_URL"),
                           QStringLiteral("http://") + server.address() + QStringLiteral("/"));
        environment.insert(QStringLiteral("HOSTVANE_ECHO6_URL"),
                           QStringLiteral("http://[::1]:%1/")
                               .arg(server6 ? server6->port() : LoopbackServer::UnusedPort()));
        script.setProcessEnvironment(environment);
        script.setWorkingDirectory(world.programDir());
        const QString log = world.programDir() + QStringLiteral("/errors.log");
        if (c.errorsToLongLog) {
            world.writeFile(QStringLiteral("errors.log"), QByteArray(2048, '#') + '\n');
            script.setStandardErrorFile(log, QIODevice::Append);
        }
        script.start(QStringLiteral("/bin/sh"), {QStringLiteral("getip-public.sh")});
        ASSERT_TRUE(script.waitForFinished(30000)) << "the script did not end";

        EXPECT_FALSE(QFile::exists(world.programDir() + QStringLiteral("/hostvane.ip.new")));
        if (c.address.isEmpty()) {
            EXPECT_NE(script.exitCode(), 0);
            EXPECT_EQ(world.readFile(QStringLiteral("hostvane.ip")), previous);
            if (c.errorsToLongLog) {
                EXPECT_TRUE(world.readFile(QStringLiteral("errors.log"))
                                .contains("The requested URL returned error: 503"));
            }
            continue;
        }
        EXPECT_EQ(script.exitCode(), 0) << script.readAllStandardError().toStdString();
        QString expected =
            QStringLiteral("HostVane IP Configuration\n\nNdisWan adapter public "
                           "(PPP Adapter):\n\n        IP Address. . . . . . . . . : ") +
            c.address + QLatin1Char('\n');
        if (!c.address6.isEmpty())
            expected += QStringLiteral("        IPv6 Address. . . . . . . . : ") + c.address6 +
                        QLatin1Char('\n');
        EXPECT_EQ(world.readFile(QStringLiteral("hostvane.ip")).toStdString(),
                  expected.toStdString());
        for (const QString& identity : {QStringLiteral("NdisWan"), QStringLiteral("PPP Adapter")}) {
            QFile listing(world.programDir() + QStringLiteral("/hostvane.ip"));
            ASSERT_TRUE(listing.open(QIODevice::ReadOnly));
            EXPECT_EQ(ReadAdapterAddress(listing, identity, [](const QString&) {}), c.address)
                << identity;
        }
    }
    if (!ipv6)
        GTEST_SKIP() << "no IPv6 loopback address (::1) here: the IPv6 cases did not run";
}

} // namespace
