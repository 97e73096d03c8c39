// Time from an address change to the new page on the FTP server: the real program and a
// loopback FTP server in a private network namespace (run as root) with a tun interface ppp0
// whose IPv4 address, and then its global IPv6 address, is changed a few seconds apart. The
// interval is 99 minutes, so every publish comes from an address event. Beside it, the latency
// a five-minute poll gives on average.
// Usage: build/bench/address_event_bench [changes]

#include "BenchTools.h"
#include "support/LoopbackServer.h"
#include "support/PrivateNetwork.h"
#include "support/RunningProgram.h"
#include "support/TempWorld.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <vector>

namespace {

using namespace std::chrono_literals;

const QString kPeer = QStringLiteral("10.64.0.1");

// Sleeps in the event loop, looking every 10 ms, until `page` holds the link `wanted`.
bool waitForPage(const QString& page, const QByteArray& wanted, std::chrono::milliseconds limit)
{
    const auto holds = [&] {
        QFile file(page);
        return file.open(QIODevice::ReadOnly) && file.readAll().contains(wanted);
    };
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (holds())
            loop.quit();
    });
    QTimer::singleShot(limit, &loop, &QEventLoop::quit);
    look.start(10ms);
    if (!holds())
        loop.exec();
    return holds();
}

// When the program wrote the latest line starting with `prefix`, from its time stamp.
QDateTime latestStamp(const QString& errors, const QString& prefix)
{
    static const QRegularExpression stamped(
        QStringLiteral(R"(^(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}) (.*)$)"),
        QRegularExpression::MultilineOption);
    QDateTime latest;
    for (auto it = stamped.globalMatch(errors); it.hasNext();) {
        const QRegularExpressionMatch line = it.next();
        if (line.captured(2).startsWith(prefix))
            latest = QDateTime::fromString(line.captured(1), Qt::ISODateWithMs);
    }
    return latest;
}

// How one family's address of ppp0 is changed, and the link the page then holds.
struct Family
{
    const char* name;
    QString first;
    QString (*nth)(int change);
    QStringList (*command)(const char* verb, const QString& address);
    QByteArray (*link)(const QString& address);
};

const Family kIPv4{
    "address", QStringLiteral("10.64.0.2"),
    [](int change) { return QStringLiteral("10.64.1.") + QString::number(change); },
    [](const char* verb, const QString& address) {
        return QStringList{
            QStringLiteral("addr"), QLatin1String(verb),   address, QStringLiteral("peer"), kPeer,
            QStringLiteral("dev"),  QStringLiteral("ppp0")};
    },
    [](const QString& address) { return "http://" + address.toLatin1() + "/"; }};

const Family kIPv6{
    "global IPv6 address", QStringLiteral("2001:db8:1::1"),
    [](int change) { return QStringLiteral("2001:db8:1::") + QString::number(change + 1, 16); },
    [](const char* verb, const QString& address) {
        return QStringList{QStringLiteral("-6"),   QStringLiteral("addr"),
                           QLatin1String(verb),    address + QStringLiteral("/64"),
                           QStringLiteral("dev"),  QStringLiteral("ppp0"),
                           QStringLiteral("nodad")};
    },
    [](const QString& address) { return "http://[" + address.toLatin1() + "]/"; }};

// Changes the family's address `changes` times and prints the figures; false when a change
// could not be made or did not reach the page. `checks` counts the program's checks so far.
bool measure(const Family& family, int changes, PrivateNetwork& network, RunningProgram& program,
             const QString& page, int& checks)
{
    std::vector<double> latencies;
    std::vector<double> checkTimes;
    QString address = family.first;
    for (int change = 1; change <= changes; ++change) {
        // A few seconds apart, at spread-out points of the program's one-second tick.
        pause(std::chrono::milliseconds(2500 + (change * 370) % 1000));
        const QString next = family.nth(change);
        QElapsedTimer elapsed;
        elapsed.start();
        if (!network.ip(family.command("del", address)) ||
            !network.ip(family.command("add", next))) {
            std::fprintf(stderr, "cannot change the %s of ppp0\n", family.name);
            return false;
        }
        address = next;
        if (!waitForPage(page, family.link(address), 30s)) {
            std::fprintf(stderr, "the page did not show %s:\n%s\n", qPrintable(address),
                         qPrintable(program.errors()));
            return false;
        }
        const QDateTime seen = QDateTime::currentDateTime();
        latencies.push_back(static_cast<double>(elapsed.nsecsElapsed()) / 1e9);
        program.waitForLines(kCheckFinished, ++checks, 5s);
        checkTimes.push_back(
            static_cast<double>(latestStamp(program.errors(), kCheckStarted).msecsTo(seen)) / 1e3);
        std::printf("%s change %2d: %.2f s\n", family.name, change, latencies.back());
    }

    const double check = std::accumulate(checkTimes.begin(), checkTimes.end(), 0.0) /
                         static_cast<double>(checkTimes.size());
    std::printf("%s change to new page, %d changes: median %.2f s, worst %.2f s "
                "(target: median <= 3 s, worst <= 4 s)\n",
                family.name, changes, median(latencies),
                *std::max_element(latencies.begin(), latencies.end()));
    std::printf("a five-minute poll instead: %.1f s on average (half the interval, 150 s, plus "
                "the check from its start to the page, %.2f s)\n",
                150.0 + check, check);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int changes = argc > 1 ? std::max(1, atoi(argv[1])) : 20;

    PrivateNetwork network;
    if (!network.failure().isEmpty()) {
        std::fprintf(stderr, "cannot make a private network namespace: %s\n",
                     qPrintable(network.failure()));
        return 1;
    }
    if (!network.addPointToPoint(QStringLiteral("ppp0"), kIPv4.first, kPeer) ||
        !network.ip(kIPv6.command("add", kIPv6.first))) {
        std::fprintf(stderr, "cannot make the tun interface ppp0\n");
        return 1;
    }
    LoopbackServer server = LoopbackServer::Ftp(QStringLiteral("bench"), QStringLiteral("pass"));
    const QString page = server.home() + QStringLiteral("/hostvane.html");
    TempWorld world;
    QDir().mkpath(QFileInfo(world.configFile()).path());
    QFile ini(world.configFile());
    if (!ini.open(QIODevice::WriteOnly))
        return 1;
    ini.write("[Settings]\nHost=" + server.address().toUtf8() +
              "\nUser=bench\nPword=pass\nDir=/\nRefresh=99\nAutoProcess=001\n");
    ini.close();

    RunningProgram program(QStringLiteral(HOSTVANE_EXECUTABLE),
                           world.root() + QStringLiteral("/runtime"));
    if (!program.waitForLines(kCheckFinished, 1, 20s) ||
        !waitForPage(page, kIPv4.link(kIPv4.first), 5s)) {
        std::fprintf(stderr, "the first check did not publish:\n%s\n",
                     qPrintable(program.errors()));
        return 1;
    }

    int checks = 1;
    if (!measure(kIPv4, changes, network, program, page, checks))
        return 1;
    // The listing of ppp0 itself from here on, whatever the shipped script lists.
    world.installInterfaceListingScript(QStringLiteral("ppp0"));
    return measure(kIPv6, changes, network, program, page, checks) ? 0 : 1;
}
