// The service as systemd runs it, next to the desktop program running the same service (as it
// did before the service had a program of its own: a copy of `hostvane` with no
// `hostvane-service` beside it). For each: from exec to READY=1 (median of 5 starts), resident
// memory after 10 checks that publish to a loopback FTP server, and the wakeups of all its
// threads over an idle stretch between checks.
// Usage: build/bench/service_bench [idle seconds]

#include "BenchTools.h"
#include "support/FileBytes.h"
#include "support/LoopbackServer.h"
#include "support/NotifySocket.h"
#include "support/RunningProgram.h"
#include "support/TempWorld.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <csignal>
#include <cstdio>
#include <map>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr int kStarts = 5;
constexpr int kChecks = 10;

qint64 statusValue(const QByteArray& status, const char* key)
{
    const QRegularExpression line(QStringLiteral("^%1:\\s*(\\d+)").arg(QLatin1String(key)),
                                  QRegularExpression::MultilineOption);
    return line.match(QString::fromLatin1(status)).captured(1).toLongLong();
}

// Context switches of each thread of `pid`, by thread id: each is a time it went to sleep or
// was woken.
std::map<QString, qint64> wakeups(qint64 pid)
{
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    std::map<QString, qint64> counts;
    for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QByteArray status =
            FileBytes(tasks + QLatin1Char('/') + task + QStringLiteral("/status"));
        counts[task] = statusValue(status, "voluntary_ctxt_switches") +
                       statusValue(status, "nonvoluntary_ctxt_switches");
    }
    return counts;
}

// The wakeups between two counts; a thread that started meanwhile counts from zero.
qint64 wakeupsBetween(const std::map<QString, qint64>& before,
                      const std::map<QString, qint64>& after)
{
    qint64 sum = 0;
    for (const auto& [task, count] : after) {
        const auto earlier = before.find(task);
        sum += count - (earlier == before.end() ? 0 : earlier->second);
    }
    return sum;
}

struct Figures
{
    double readyMs = 0;
    double rssMiB = 0;
    double wakeupsPerSecond = 0;
    bool gui = false;
};

// Runs the service command `program` with HOSTVANE_SERVICE=1, as a unit does. Empty figures
// (with why on standard error) when something did not go as it should.
std::optional<Figures> measure(const QString& program, TempWorld& world, const QString& page,
                               int idleSeconds)
{
    Figures figures;
    const NotifySocket notify(world.root() + QStringLiteral("/notify-") +
                              QFileInfo(program).path().section(QLatin1Char('/'), -2, -2));
    std::vector<double> ready;
    for (int start = 0; start < kStarts; ++start) {
        QElapsedTimer elapsed;
        elapsed.start();
        RunningProgram service(program, QString(), notify.serviceEnvironment());
        if (!notify.receiveUntil("READY=1")) {
            std::fprintf(stderr, "%s never said READY=1:\n%s\n", qPrintable(program),
                         qPrintable(service.errors()));
            return std::nullopt;
        }
        ready.push_back(static_cast<double>(elapsed.nsecsElapsed()) / 1e6);
        service.waitForLines(kCheckFinished, 1, 20s);
        service.signalAndWait(SIGTERM);
    }
    figures.readyMs = median(ready);

    QFile::remove(page);
    RunningProgram service(program, QString(), notify.serviceEnvironment());
    for (int check = 1; check <= kChecks; ++check) {
        if (check > 1) {
            RunningProgram ask(program, QString(), {}, {QStringLiteral("--update-now")});
            ask.waitForEnd(10s);
        }
        if (!service.waitForLines(kCheckFinished, check, 30s) ||
            service.lineCount(QStringLiteral("Page published and verified")) < check) {
            std::fprintf(stderr, "check %d of %s did not publish:\n%s\n", check,
                         qPrintable(program), qPrintable(service.errors()));
            return std::nullopt;
        }
    }
    const QString proc = QStringLiteral("/proc/%1/").arg(service.pid());
    figures.rssMiB =
        static_cast<double>(statusValue(FileBytes(proc + QStringLiteral("status")), "VmRSS")) /
        1024.0;
    figures.gui = FileBytes(proc + QStringLiteral("maps")).contains("libQt6Gui");
    const auto before = wakeups(service.pid());
    pause(std::chrono::seconds(idleSeconds));
    figures.wakeupsPerSecond =
        static_cast<double>(wakeupsBetween(before, wakeups(service.pid()))) / idleSeconds;
    if (!QFileInfo::exists(page) || !service.started()) {
        std::fprintf(stderr, "%s did not publish or did not run on\n", qPrintable(program));
        return std::nullopt;
    }
    return figures;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int idleSeconds = argc > 1 ? std::max(1, atoi(argv[1])) : 60;

    LoopbackServer server = LoopbackServer::Ftp(QStringLiteral("bench"), QStringLiteral("pass"));
    TempWorld world;
    world.writeSettings("[Settings]\nHost=" + server.address().toUtf8() +
                        "\nUser=bench\nPword=pass\nDir=/\nRefresh=99\nAutoProcess=001\n");
    const QString page = server.home() + QStringLiteral("/hostvane.html");

    // The desktop program alone in a prefix of its own, its shipped files beside it.
    const QString alone = world.root() + QStringLiteral("/desktop-only");
    const QString built = QFileInfo(QStringLiteral(HOSTVANE_EXECUTABLE)).absolutePath();
    if (!QDir().mkpath(alone + QStringLiteral("/bin")) ||
        !QFile::copy(QStringLiteral(HOSTVANE_EXECUTABLE),
                     alone + QStringLiteral("/bin/hostvane")) ||
        !QFile::link(built + QStringLiteral("/../share"), alone + QStringLiteral("/share"))) {
        std::fprintf(stderr, "cannot copy the desktop program\n");
        return 1;
    }

    const auto service = measure(QStringLiteral(HOSTVANE_EXECUTABLE), world, page, idleSeconds);
    const auto desktop = measure(alone + QStringLiteral("/bin/hostvane"), world, page, idleSeconds);
    if (!service || !desktop)
        return 1;
    std::printf("%-38s %12s %16s\n", "", "service", "desktop program");
    std::printf("%-38s %9.0f ms %13.0f ms   (target <= 300 ms)\n", "exec to READY=1, median of 5",
                service->readyMs, desktop->readyMs);
    std::printf("%-38s %8.1f MiB %12.1f MiB   (target <= 12 MB)\n",
                "resident after 10 checks with publish", service->rssMiB, desktop->rssMiB);
    std::printf("%-38s %10.2f/s %14.2f/s   (target <= 1/s over %d s)\n", "idle wakeups",
                service->wakeupsPerSecond, desktop->wakeupsPerSecond, idleSeconds);
    std::printf("%-38s %12s %16s\n", "window library (libQt6Gui) loaded",
                service->gui ? "yes" : "no", desktop->gui ? "yes" : "no");
    return 0;
}
