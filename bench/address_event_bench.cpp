// Time from an address change to the new page on the FTP server: the real program and a
// loopback FTP server in a private network namespace (run as root) with a tun interface ppp0
// whose address is changed a few seconds apart. The interval is 99 minutes, so every publish
// comes from an address event. Beside it, the latency a five-minute poll gives on average.
// Usage: build/bench/address_event_bench [changes]

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

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void pause(std::chrono::milliseconds span)
{
    QEventLoop loop;
    QTimer::singleShot(span, &loop, &QEventLoop::quit);
    loop.exec();
}

// Sleeps in the event loop, looking every 10 ms, until `page` holds `address`.
bool waitForPage(const QString& page, const QString& address, std::chrono::milliseconds limit)
{
    const QByteArray wanted = "http://" + address.toLatin1() + "/";
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
    QString address = QStringLiteral("10.64.0.2");
    if (!network.addPointToPoint(QStringLiteral("ppp0"), address, kPeer)) {
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
    if (!program.waitForLines(kCheckFinished, 1, 20s) || !waitForPage(page, address, 5s)) {
        std::fprintf(stderr, "the first check did not publish:\n%s\n",
                     qPrintable(program.errors()));
        return 1;
    }

    std::vector<double> latencies;
    std::vector<double> checks;
    for (int change = 1; change <= changes; ++change) {
        // A few seconds apart, at spread-out points of the program's one-second tick.
        pause(std::chrono::milliseconds(2500 + (change * 370) % 1000));
        const QString next = QStringLiteral("10.64.1.") + QString::number(change);
        QElapsedTimer elapsed;
        elapsed.start();
        if (!network.ip({QStringLiteral("addr"), QStringLiteral("del"), address,
                         QStringLiteral("peer"), kPeer, QStringLiteral("dev"),
                         QStringLiteral("ppp0")}) ||
            !network.ip({QStringLiteral("addr"), QStringLiteral("add"), next,
                         QStringLiteral("peer"), kPeer, QStringLiteral("dev"),
                         QStringLiteral("ppp0")})) {
            std::fprintf(stderr, "cannot change the address of ppp0\n");
            return 1;
        }
        address = next;
        if (!waitForPage(page, address, 30s)) {
            std::fprintf(stderr, "the page did not show %s:\n%s\n", qPrintable(address),
                         qPrintable(program.errors()));
            return 1;
        }
        const QDateTime seen = QDateTime::currentDateTime();
        latencies.push_back(static_cast<double>(elapsed.nsecsElapsed()) / 1e9);
        program.waitForLines(kCheckFinished, change + 1, 5s);
        checks.push_back(
            static_cast<double>(latestStamp(program.errors(), kCheckStarted).msecsTo(seen)) / 1e3);
        std::printf("change %2d: %.2f s\n", change, latencies.back());
    }

    const double check =
        std::accumulate(checks.begin(), checks.end(), 0.0) / static_cast<double>(checks.size());
    std::printf("address change to new page, %d changes: median %.2f s, worst %.2f s "
                "(target: median <= 3 s, worst <= 4 s)\n",
                changes, median(latencies), *std::max_element(latencies.begin(), latencies.end()));
    std::printf("a five-minute poll instead: %.1f s on average (half the interval, 150 s, plus "
                "the check from its start to the page, %.2f s)\n",
                150.0 + check, check);
    return 0;
}
