// getip-public.sh, the address report for a machine behind a router, against an address echo
// service on loopback.

#include "support/LoopbackServer.h"
#include "support/TempWorld.h"

#include "engine/AddressDiscovery.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <optional>

namespace {

TEST(PublicAddressScript, WritesTheAnsweredAddressOrFails)
{
    struct Case
    {
        const char* name;
        std::optional<QString> body; // none: a server that never answers
        int status;
        QString address; // empty: the script fails
    };
    const Case cases[] = {
        {"one address", QStringLiteral("203.0.113.7\n"), 200, QStringLiteral("203.0.113.7")},
        {"garbage", QStringLiteral("<html><body>hello</body></html>"), 200, {}},
        {"two addresses", QStringLiteral("203.0.113.7\n198.51.100.1\n"), 200, {}},
        {"an octet past 255", QStringLiteral("203.0.113.256"), 200, {}},
        {"an HTTP error", QStringLiteral("203.0.113.7"), 503, {}},
        {"no answer within 10 seconds", std::nullopt, 0, {}},
    };
    TempWorld world;
    const QByteArray previous = "the listing of an earlier run\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoopbackServer server =
            c.body ? LoopbackServer::AddressEcho(*c.body, c.status) : LoopbackServer::Silent();
        world.writeFile(QStringLiteral("hostvane.ip"), previous);

        QProcess script;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* proxy :
             {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
            environment.remove(QLatin1String(proxy));
        environment.insert(QStringLiteral("HOSTVANE_ECHO_URL"),
                           QStringLiteral("http://") + server.address() + QStringLiteral("/"));
        script.setProcessEnvironment(environment);
        script.setWorkingDirectory(world.programDir());
        script.start(QStringLiteral("/bin/sh"), {QStringLiteral("getip-public.sh")});
        ASSERT_TRUE(script.waitForFinished(30000)) << "the script did not end";

        if (c.address.isEmpty()) {
            EXPECT_NE(script.exitCode(), 0);
            EXPECT_EQ(world.readFile(QStringLiteral("hostvane.ip")), previous);
            continue;
        }
        EXPECT_EQ(script.exitCode(), 0) << script.readAllStandardError().toStdString();
        for (const QString& identity : {QStringLiteral("NdisWan"), QStringLiteral("PPP Adapter")}) {
            QFile listing(world.programDir() + QStringLiteral("/hostvane.ip"));
            ASSERT_TRUE(listing.open(QIODevice::ReadOnly));
            EXPECT_EQ(ReadAdapterAddress(listing, identity, [](const QString&) {}), c.address)
                << identity;
        }
    }
}

} // namespace
