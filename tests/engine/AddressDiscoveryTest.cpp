#include "support/EngineRig.h"

#include "engine/AddressDiscovery.h"

#include <QBuffer>
#include <QFile>

#include <gtest/gtest.h>

namespace {

struct Reading
{
    QString address;
    QString ipv6;
    QStringList history;
};

Reading readListing(QByteArray text, const QString& identity)
{
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadOnly);
    Reading reading;
    reading.address = ReadAdapterAddress(
        buffer, identity, [&](const QString& msg) { reading.history.append(msg); }, &reading.ipv6);
    return reading;
}

QByteArray sharedListing(const char* name)
{
    QFile file(QStringLiteral(HOSTVANE_LISTINGS_DIR "/") + QLatin1String(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

QByteArray withCrLf(QByteArray text)
{
    return text.replace("\n", "\r\n");
}

TEST(ReadAdapterAddress, ListingsPrintedByWindowsNt)
{
    for (const bool crlf : {false, true}) {
        const auto listing = [crlf](const char* name) {
            return crlf ? withCrLf(sharedListing(name)) : sharedListing(name);
        };
        const Reading one = readListing(listing("nt4-ndiswan-1.txt"), QStringLiteral("NdisWan"));
        EXPECT_EQ(one.address, QStringLiteral("130.80.0.51"));
        EXPECT_EQ(
            one.history,
            QStringList({QStringLiteral("Adapter found at: Ethernet adapter NdisWan4:"),
                         QStringLiteral("IP Found at: IP Address. . . . . . . . . : 130.80.0.51"),
                         QStringLiteral("IP resolved: 130.80.0.51")}));

        const Reading four = readListing(listing("nt4-ndiswan-4.txt"), QStringLiteral("NdisWan"));
        EXPECT_EQ(four.address, QString());
        EXPECT_EQ(four.history.last(), QStringLiteral("IP resolved: 0.0.0.0"));

        const Reading lanOnly =
            readListing(listing("nt4-lan-only-1.txt"), QStringLiteral("NdisWan"));
        EXPECT_EQ(lanOnly.address, QString());
        EXPECT_TRUE(lanOnly.history.isEmpty());
    }
}

TEST(ReadAdapterAddress, RewrappedListingGivesTheTextAfterTheFirstColonWhole)
{
    const QByteArray text = sharedListing("nt4-ndiswan-5.txt");
    const Reading reading = readListing(text, QStringLiteral("NdisWan"));
    // The first "IP Address" line after the first NdisWan line, whatever stands after its
    // first colon.
    QString expected;
    bool adapter = false;
    for (const QByteArray& raw : text.split('\n')) {
        const QString line = QString::fromLatin1(raw);
        if (!adapter) {
            adapter = line.contains(QStringLiteral("NdisWan"));
            continue;
        }
        if (line.contains(QStringLiteral("IP Address"))) {
            expected = line.mid(line.indexOf(QLatin1Char(':')) + 1).trimmed();
            break;
        }
    }
    ASSERT_FALSE(expected.isEmpty());
    EXPECT_EQ(reading.address, expected);
    EXPECT_EQ(reading.history.last(), QStringLiteral("IP resolved: ") + expected);
}

TEST(ReadAdapterAddress, MatchingRules)
{
    const struct
    {
        const char* name;
        QByteArray listing;
        const char* identity;
        const char* address;
        int historyLines;
    } cases[] = {
        {"identity and label in any case", "x NDISWAN y\n  ip address : 10.1.2.3\n", "ndiswan",
         "10.1.2.3", 3},
        {"address line before the adapter is ignored",
         "IP Address: 1.1.1.1\nNdisWan\nIP Address: 2.2.2.2\n", "NdisWan", "2.2.2.2", 3},
        {"first address after the adapter, even in a later section",
         "NdisWan5:\nSubnet Mask: 0\nEthernet eth1:\nIP Address: 3.3.3.3\nIP Address: 4.4.4.4\n",
         "NdisWan", "3.3.3.3", 3},
        {"trailing remark is kept, blanks trimmed", "NdisWan\nIP Address:  10.1.2.3 (ppp)  \n",
         "NdisWan", "10.1.2.3 (ppp)", 3},
        {"tabs are not trimmed", "NdisWan\nIP Address:\t10.1.2.3\n", "NdisWan", "\t10.1.2.3", 3},
        {"no colon stops the search", "NdisWan\nIP Address 10.1.2.3\nIP Address: 5.5.5.5\n",
         "NdisWan", "", 2},
        {"no address line after the adapter", "NdisWan\nSubnet Mask: 0\n", "NdisWan", "", 1},
        {"empty identity takes the first line with text",
         "\nWindows NT IP Configuration\nIP Address: 6.6.6.6\n", "", "6.6.6.6", 3},
        {"the first colon, not the address's own", "NdisWan\nIP Address: fe80::1\n", "NdisWan",
         "fe80::1", 3},
    };
    for (const auto& c : cases) {
        const Reading reading = readListing(c.listing, QLatin1String(c.identity));
        EXPECT_EQ(reading.address, QLatin1String(c.address)) << c.name;
        EXPECT_EQ(reading.history.size(), c.historyLines) << c.name;
    }
}

TEST(ReadAdapterAddress, TheIPv6AddressIsTheFirstOfTheAdaptersOwnSection)
{
    const QByteArray ppp0 = "NdisWan adapter ppp0 (PPP Adapter):\n\n";
    const QByteArray eth0 = "Ethernet adapter eth0:\n\n";
    const QByteArray ip = "        IP Address. . . . . . . . . : ";
    const QByteArray ip6 = "        IPv6 Address. . . . . . . . : ";
    const struct
    {
        const char* name;
        QByteArray listing;
        const char* address;
        const char* ipv6;
    } cases[] = {
        {"both, as the shipped scripts write them",
         ppp0 + ip + "10.1.2.3\n" + ip6 + "2001:db8:1::5\n" + ip6 + "2001:db8:1::6\n\n" + eth0 +
             ip6 + "2001:db8:2::20\n",
         "10.1.2.3", "2001:db8:1::5"},
        {"IPv6 before IPv4", ppp0 + ip6 + "2001:db8:1::5\n" + ip + "10.1.2.3\n", "10.1.2.3",
         "2001:db8:1::5"},
        {"no IPv4 address", ppp0 + ip + "0.0.0.0\n" + ip6 + "2001:db8:1::5\n", "", "2001:db8:1::5"},
        {"another adapter's IPv6 address is not the adapter's",
         ppp0 + ip + "10.1.2.3\n\n" + eth0 + ip6 + "2001:db8:2::20\n", "10.1.2.3", ""},
        {"an IPv6 line is no IPv4 line, which may lie in a later section",
         ppp0 + ip6 + "2001:db8:1::5\n" + eth0 + ip + "192.168.1.20\n", "192.168.1.20",
         "2001:db8:1::5"},
        {"an indented line ending in a colon is no header",
         ppp0 + ip + "10.1.2.3\n  Remarks:\n" + ip6 + "2001:db8:1::5\n", "10.1.2.3",
         "2001:db8:1::5"},
        {"a line with both labels is the IPv4 line",
         ppp0 + "IP Address and IPv6 Address: 10.1.2.3\n", "10.1.2.3", ""},
        {"the first line in any case counts, and without a colon it gives none",
         ppp0 + ip + "10.1.2.3\n  ipv6 address none\n" + ip6 + "2001:db8:1::5\n", "10.1.2.3", ""},
    };
    for (const auto& c : cases) {
        const Reading reading = readListing(c.listing, QStringLiteral("NdisWan"));
        EXPECT_EQ(reading.address, QLatin1String(c.address)) << c.name;
        EXPECT_EQ(reading.ipv6, QLatin1String(c.ipv6)) << c.name;
        // The IPv6 line comes right after the IPv4 lines, and only with an address.
        const qsizetype lines = reading.history.size();
        ASSERT_GE(lines, 2) << c.name;
        EXPECT_TRUE(reading.history.at(lines - (*c.ipv6 ? 2 : 1))
                        .startsWith(QStringLiteral("IP resolved: ")))
            << c.name;
        if (*c.ipv6) {
            EXPECT_EQ(reading.history.last(),
                      QStringLiteral("IPv6 resolved: ") + QLatin1String(c.ipv6))
                << c.name;
        }
    }
}

TEST(GetIP, RunsTheScriptAndReadsItsListing)
{
    EngineRig rig;
    rig.world.installListingScript(DialUpListing("10.1.2.3"));
    EXPECT_EQ(rig.discovery.GetIP(QStringLiteral("NdisWan")), QStringLiteral("10.1.2.3"));
    EXPECT_EQ(rig.host.addressPanel, QStringLiteral("Current IP address: 10.1.2.3"));
    EXPECT_EQ(rig.host.ipv6Panel, QString());
    EXPECT_TRUE(rig.prompt.shown.isEmpty());

    rig.world.installListingScript(DialUpListing("0.0.0.0", "2001:db8::5"));
    QString ipv6;
    EXPECT_EQ(rig.discovery.GetIP(QStringLiteral("NdisWan"), &ipv6), QString());
    EXPECT_EQ(ipv6, QStringLiteral("2001:db8::5"));
    EXPECT_EQ(rig.host.addressPanel, QStringLiteral("Current IP address: "));
    EXPECT_EQ(rig.host.ipv6Panel, QStringLiteral("Current IPv6 address: 2001:db8::5"));
}

TEST(GetIP, PlatformPicksTheScript)
{
    EngineRig rig(cWinVer::Windows95);
    rig.world.installListingScript(DialUpListing("10.9.9.9"));
    rig.world.writeFile(QStringLiteral("getipNT.bat"), "#!/bin/sh\nexit 4\n", true);
    EXPECT_EQ(rig.discovery.GetIP(QStringLiteral("PPP Adapter")), QStringLiteral("10.9.9.9"));
}

TEST(GetIP, FailingScriptIsReportedAndTheStaleListingIsNotRead)
{
    EngineRig rig;
    rig.world.writeFile(QStringLiteral("hostvane.ip"), DialUpListing("10.1.2.3"));
    rig.world.writeFile(QStringLiteral("getipNT.bat"), "#!/bin/sh\nexit 3\n", true);
    EXPECT_EQ(rig.discovery.GetIP(QStringLiteral("NdisWan")), QString());
    ASSERT_EQ(rig.prompt.shown.size(), 1);
    EXPECT_EQ(rig.prompt.shown[0].text, QStringLiteral("error: 3 running getip.bat"));
    EXPECT_EQ(rig.prompt.shown[0].title, QStringLiteral("HostVane"));
    EXPECT_EQ(rig.prompt.shown[0].buttons, Prompt::Buttons::Ok);
    EXPECT_EQ(rig.host.addressPanel, QStringLiteral("Current IP address: "));
    EXPECT_TRUE(rig.host.history.isEmpty());
}

TEST(GetIP, StaleListingIsReadWhenTheScriptSucceedsWithoutWriting)
{
    EngineRig rig;
    rig.world.writeFile(QStringLiteral("hostvane.ip"), DialUpListing("10.4.4.4"));
    rig.world.writeFile(QStringLiteral("getipNT.bat"), "#!/bin/sh\nexit 0\n", true);
    EXPECT_EQ(rig.discovery.GetIP(QStringLiteral("NdisWan")), QStringLiteral("10.4.4.4"));

    QFile::remove(QStringLiteral("hostvane.ip"));
    EXPECT_EQ(rig.discovery.GetIP(QStringLiteral("NdisWan")), QString());
    EXPECT_TRUE(rig.prompt.shown.isEmpty());
}

TEST(GetIP, ShippedScriptListsThisMachine)
{
    EngineRig rig;
    // The loopback interface is left out; every other one has a section and an address line.
    rig.discovery.GetIP(QStringLiteral("NdisWan"));
    ASSERT_TRUE(rig.prompt.shown.isEmpty()) << rig.prompt.shown[0].text.toStdString();
    const QByteArray listing = rig.world.readFile(QStringLiteral("hostvane.ip"));
    EXPECT_TRUE(listing.startsWith("HostVane IP Configuration\n"));
    EXPECT_FALSE(listing.contains("adapter lo:"));
    EXPECT_EQ(listing.count("adapter "), listing.count("IP Address. . . . . . . . . : "));
}

} // namespace
