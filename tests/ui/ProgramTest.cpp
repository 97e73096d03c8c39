#include "support/FileBytes.h"
#include "support/LoopbackServer.h"
#include "support/NotifySocket.h"
#include "support/RunningProgram.h"
#include "support/TempWorld.h"
#include "system/InstanceGuard.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

constexpr std::chrono::seconds kWait(20);

const QByteArray kListing = "HostVane IP Configuration\n\nNdisWan adapter ppp0 (PPP Adapter):\n\n"
                            "        IP Address. . . . . . . . . : 10.1.2.3\n";

// The program as a user starts it, headless: its whole first check reaches standard error.
TEST(Program, HeadlessRunEchoesTheHistoryToStandardError)
{
    TempWorld world;
    world.installListingScript(kListing);
    world.writeSettings("[Settings]\nHost=127.0.0.1:1\nAutoProcess=1\n");

    RunningProgram program(QStringLiteral(HOSTVANE_EXECUTABLE),
                           world.root() + QStringLiteral("/run"));
    ASSERT_TRUE(program.waitForLines(kCheckFinished, 1, std::chrono::seconds(20)))
        << program.errors().toStdString();
    const QStringList history = program.history();
    ASSERT_FALSE(history.isEmpty());
    EXPECT_TRUE(history.first().startsWith(kCheckStarted));
    EXPECT_TRUE(history.contains(QStringLiteral("IP resolved: 10.1.2.3")));
    EXPECT_TRUE(history.contains(QStringLiteral("Error with FTP occurred")));
    EXPECT_TRUE(history.last().startsWith(kCheckFinished));
    EXPECT_TRUE(QFile::exists(world.programDir() + QStringLiteral("/hostvane.htm")))
        << "the program works in its own directory, not where it was started";
    // Standard error holds the program's own lines only: stamped history and its messages.
    static const QRegularExpression own(QStringLiteral(R"(^(\d{4}-\d\d-\d\dT|HostVane: ))"));
    for (const QString& line : program.errors().split(u'\n', Qt::SkipEmptyParts))
        EXPECT_TRUE(own.match(line).hasMatch()) << line.toStdString();
}

// Without HOME and the XDG variables there is nowhere to keep the working files: the program
// says which variable is missing and ends, creating nothing.
TEST(Program, RefusesToStartWithoutAHome)
{
    QProcess program;
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
    program.setProcessEnvironment(environment);
    const bool rootHadIt = QFileInfo::exists(QStringLiteral("/.local/share/HostVane"));
    program.start(QStringLiteral(HOSTVANE_EXECUTABLE), {});
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_NE(program.exitCode(), 0);
    const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
    EXPECT_TRUE(errors.contains(QStringLiteral("HOME")) &&
                errors.contains(QStringLiteral("XDG_DATA_HOME")))
        << errors.toStdString();
    EXPECT_EQ(QFileInfo::exists(QStringLiteral("/.local/share/HostVane")), rootHadIt);
}

// A second start shows the message and ends at once, reading no setting (the store is now a
// pipe nobody writes, which would hold any reader), while the first runs on.
TEST(Program, SecondStartEndsAtOnceLeavingTheFirstRunning)
{
    TempWorld world;
    world.installListingScript(kListing);
    world.writeSettings("[Settings]\nHost=127.0.0.1:1\nAutoProcess=001\nStartMinimized=001\n");
    RunningProgram first(QStringLiteral(HOSTVANE_EXECUTABLE));
    ASSERT_TRUE(first.waitForText("Finished update processing at: ", kWait))
        << first.errors().toStdString();

    ASSERT_TRUE(QFile::remove(world.configFile()));
    ASSERT_EQ(::mkfifo(QFile::encodeName(world.configFile()).constData(), 0600), 0);
    RunningProgram second(QStringLiteral(HOSTVANE_EXECUTABLE));
    ASSERT_TRUE(second.waitForEnd(std::chrono::seconds(10))) << "the second start hangs";
    EXPECT_EQ(second.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.process().exitCode(), 0);
    EXPECT_TRUE(
        second.errors().contains(QStringLiteral("HostVane: This program is already running.\n")));
    EXPECT_TRUE(first.started());
    EXPECT_GE(first.signalAndWait(SIGTERM), 0);
}

// A termination signal ends an ordinary run without a question, with status 0 within two
// seconds, also in the middle of a check: the address script is ended with the processes it
// started, the transfer is aborted (the server here never greets), and the abandoned check
// reports nothing.
TEST(Program, TerminationSignalEndsTheRunAlsoInTheMiddleOfACheck)
{
    enum Stage
    {
        AfterCheck,
        InScript,
        InTransfer,
        InUpload
    };
    const struct
    {
        int signalNumber;
        Stage stage;
        const char* waitFor;
    } cases[] = {{SIGTERM, InScript, "script is waiting"},
                 {SIGINT, AfterCheck, "Finished update processing"},
                 {SIGHUP, InScript, "script is waiting"},
                 {SIGTERM, InTransfer, "Deleting old redirector page"},
                 {SIGTERM, InUpload, "Uploading new redirector page"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "signal " << c.signalNumber << " stage " << c.stage);
        TempWorld world;
        world.installListingScript(kListing);
        if (c.stage == InScript)
            world.writeFile(QStringLiteral("getipNT.bat"),
                            "#!/bin/sh\nsleep 60 &\necho $! > sleeper.pid\n"
                            "echo script is waiting >&2\nwait\n",
                            true);
        // The kernel completes connections to a listening socket nobody accepts on.
        QTcpServer silentServer;
        ASSERT_TRUE(silentServer.listen(QHostAddress::LocalHost));
        // A page of some megabytes that the server takes slowly, so the signal comes mid-upload.
        LoopbackServer slowServer =
            LoopbackServer::Ftp(QStringLiteral("pat"), QStringLiteral("pw"),
                                {QStringLiteral("--throttle"), QStringLiteral("200000")});
        if (c.stage == InUpload)
            world.writeFile(QStringLiteral("hostvane.inp"), QByteArray(4 << 20, 'x') + "\n~IP~\n");
        const QByteArray host = c.stage == InTransfer
                                    ? "127.0.0.1:" + QByteArray::number(silentServer.serverPort())
                                : c.stage == InUpload ? slowServer.url().mid(6).toUtf8()
                                                      : QByteArray("127.0.0.1:1");
        world.writeSettings("[Settings]\nAutoProcess=001\nUser=pat\nPword=pw\nHost=" + host + "\n");
        RunningProgram program(QStringLiteral(HOSTVANE_EXECUTABLE));
        ASSERT_TRUE(program.waitForText(c.waitFor, kWait)) << program.errors().toStdString();
        if (c.stage == InUpload) {
            const QString part = slowServer.home() + QStringLiteral("/hostvane.html.part");
            for (int waited = 0; waited < 100 && QFileInfo(part).size() == 0; ++waited)
                ::usleep(100000);
            ASSERT_GT(QFileInfo(part).size(), 0) << "the upload never started";
        }

        const qint64 took = program.signalAndWait(c.signalNumber);
        ASSERT_GE(took, 0) << "the program did not end";
        EXPECT_LE(took, 2000);
        EXPECT_EQ(program.process().exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.process().exitCode(), 0);
        EXPECT_FALSE(program.errors().contains(QStringLiteral("Really want to quit?")));
        EXPECT_FALSE(program.errors().contains(QStringLiteral("HostVane: error:")))
            << program.errors().toStdString();
        if (c.stage != AfterCheck) {
            const QStringList history = program.history();
            EXPECT_EQ(history.last(), QStringLiteral("Check abandoned: the program is ending"));
            EXPECT_FALSE(history.contains(QStringLiteral("Cannot resolve local WAN IP address")));
        }
        if (c.stage == InScript) {
            EXPECT_FALSE(ProcessRunning(world.readFile(QStringLiteral("sleeper.pid"))))
                << "the script's child outlived the program";
        }
        if (c.stage == InUpload) {
            EXPECT_EQ(QDir(slowServer.home()).entryList(QDir::Files), QStringList())
                << "a partial page or its temporary file was left on the server";
        }
    }
}

// Under systemd: Start is logged, READY=1 follows the start-up and each check leaves a status
// line; SIGTERM logs the stop and ends the program with status 0.
TEST(Program, ServiceModeTalksToSystemdAndLogsStartAndStop)
{
    TempWorld world;
    world.installListingScript(kListing);
    world.writeSettings("[Settings]\nHost=127.0.0.1:1\nAutoProcess=001\n");
    const NotifySocket notify(world.root() + QStringLiteral("/notify"));
    const QString eventLog = world.root() + QStringLiteral("/events.log");

    RunningProgram service(QStringLiteral(HOSTVANE_EXECUTABLE), QString(),
                           notify.serviceEnvironment() +
                               QStringList{QStringLiteral("HOSTVANE_EVENT_LOG=") + eventLog});
    EXPECT_TRUE(notify.receiveUntil("READY=1"));
    ASSERT_TRUE(notify.receiveUntil("STATUS=")) << notify.messages.join('|').data();
    EXPECT_TRUE(notify.messages.last().contains("address 10.1.2.3, page NOT published"))
        << notify.messages.last().data();

    // The unit's command handed over to the service program: no window library is loaded, and
    // between checks nothing wakes it.
    const auto readText = [&](const char* name) {
        return QString::fromLocal8Bit(
            FileBytes(QStringLiteral("/proc/%1/%2").arg(service.pid()).arg(QLatin1String(name))));
    };
    EXPECT_EQ(readText("comm"), QStringLiteral("hostvane-servic\n"));
    const QString maps = readText("maps");
    EXPECT_TRUE(maps.contains(QStringLiteral("libQt6Core"))) << maps.toStdString();
    EXPECT_FALSE(maps.contains(QStringLiteral("libQt6Gui"))) << maps.toStdString();
    const auto wakeups = [&] {
        const QString status = readText("status");
        return QRegularExpression(QStringLiteral("\nvoluntary_ctxt_switches:\\s*(\\d+)"))
            .match(status)
            .captured(1)
            .toInt();
    };
    const int before = wakeups();
    QTest::qWait(2500);
    EXPECT_LE(wakeups() - before, 1) << "a timer ticks in the idle service";

    const qint64 took = service.signalAndWait(SIGTERM);
    ASSERT_GE(took, 0) << "the service did not end";
    EXPECT_LE(took, 2000);
    EXPECT_EQ(service.process().exitCode(), 0);
    EXPECT_FALSE(service.errors().contains(QStringLiteral("You must stop this service")));
    // The journal holds the program's own lines only: its history and its messages.
    const QStringList stamped = service.history();
    for (const QString& line : service.errors().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        EXPECT_TRUE(line.startsWith(QStringLiteral("HostVane: ")) ||
                    std::any_of(stamped.cbegin(), stamped.cend(),
                                [&](const QString& entry) { return line.endsWith(entry); }))
            << line.toStdString();
    }
    QFile log(eventLog);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll(), QByteArray("0 [110] Hostvane Started.  Version:  1 1 3\n"
                                        "0 [110] Hostvane Stopped.  Version:  1 1 3\n"));
}

} // namespace

// The service started beside the desktop copy ends once, with the status that keeps systemd
// from starting it again, and says why; a desktop start beside the service says how to stop it.
TEST(Program, ServiceAndDesktopCopySayWhyTheSecondEnds)
{
    TempWorld world;
    world.installListingScript(kListing);
    world.writeSettings("[Settings]\nHost=127.0.0.1:1\nAutoProcess=000\n");
    const NotifySocket notify(world.root() + QStringLiteral("/notify"));
    {
        RunningProgram desktop(QStringLiteral(HOSTVANE_EXECUTABLE));
        ASSERT_TRUE(
            QTest::qWaitFor([] { return QFileInfo::exists(InstanceGuard::SocketPath()); }, 20000));
        RunningProgram service(QStringLiteral(HOSTVANE_EXECUTABLE), QString(),
                               notify.serviceEnvironment());
        ASSERT_TRUE(service.waitForEnd(kWait));
        EXPECT_EQ(service.process().exitCode(), 3);
        EXPECT_TRUE(service.errors().contains(QStringLiteral("already runs on the desktop")))
            << service.errors().toStdString();
        EXPECT_TRUE(notify.receiveUntil("STATUS=HostVane already runs on the desktop"))
            << notify.messages.join('|').data();
        EXPECT_FALSE(notify.messages.contains("READY=1"));
        EXPECT_GE(desktop.signalAndWait(SIGTERM), 0);
    }
    RunningProgram service(QStringLiteral(HOSTVANE_EXECUTABLE), QString(),
                           notify.serviceEnvironment());
    ASSERT_TRUE(notify.receiveUntil("READY=1"));
    RunningProgram desktop(QStringLiteral(HOSTVANE_EXECUTABLE));
    ASSERT_TRUE(desktop.waitForEnd(kWait));
    EXPECT_EQ(desktop.process().exitCode(), 0);
    EXPECT_TRUE(desktop.errors().contains(QStringLiteral("systemctl --user stop hostvane")))
        << desktop.errors().toStdString();
    EXPECT_GE(service.signalAndWait(SIGTERM), 0);
}

// The command line answers without a display and without starting the program; --update-now
// asks the running copy for a check, even with automatic checking off, and fails with no copy.
TEST(Program, CommandLineAnswersAndAsksTheRunningCopyForACheck)
{
    TempWorld world;
    world.installListingScript(kListing);
    world.writeSettings("[Settings]\nHost=127.0.0.1:1\nAutoProcess=000\n");
    const auto run = [](const QString& option) {
        RunningProgram program(QStringLiteral(HOSTVANE_EXECUTABLE), QString(), {}, {option});
        EXPECT_TRUE(program.waitForEnd(kWait)) << option.toStdString();
        return std::pair(program.process().exitCode(), program.output() + program.errors());
    };
    const struct
    {
        const char* option;
        int status;
        const char* says;
    } cases[] = {{"--version", 0, "HostVane 1.1.3\n"},
                 {"--help", 0, "--update-now"},
                 {"--frobnicate", 2, "unknown option --frobnicate"},
                 {"--update-now", 1, "HostVane is not running"},
                 {"--status", 3, "HostVane is not running"}};
    for (const auto& c : cases) {
        const auto [status, text] = run(QLatin1String(c.option));
        EXPECT_EQ(status, c.status) << c.option;
        EXPECT_TRUE(text.contains(QLatin1String(c.says))) << c.option << ": " << text.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(world.programDir() + QStringLiteral("/hostvane.htm")));

    RunningProgram running(QStringLiteral(HOSTVANE_EXECUTABLE));
    ASSERT_TRUE(
        QTest::qWaitFor([] { return QFileInfo::exists(InstanceGuard::SocketPath()); }, 20000));
    const auto [status, text] = run(QStringLiteral("--update-now"));
    EXPECT_EQ(status, 0) << text.toStdString();
    // The second request comes during the first check (its settle wait alone is a second or
    // more), and runs after it.
    EXPECT_EQ(run(QStringLiteral("--update-now")).first, 0);
    EXPECT_TRUE(running.waitForLines(kCheckFinished, 2, kWait)) << running.errors().toStdString();

    // A caller that leaves at once still gets its check; one that sends no line is dropped, and
    // the copy runs on through all of it.
    const auto connectAndSend = [](QLocalSocket& caller, const QByteArray& bytes) {
        caller.connectToServer(InstanceGuard::SocketPath());
        EXPECT_TRUE(caller.waitForConnected(5000));
        caller.write(bytes);
        EXPECT_TRUE(caller.waitForBytesWritten(5000));
    };
    {
        QLocalSocket leaving;
        connectAndSend(leaving, "check\n");
    }
    QLocalSocket flooding;
    connectAndSend(flooding, QByteArray(4096, 'x'));
    EXPECT_TRUE(flooding.state() == QLocalSocket::UnconnectedState ||
                flooding.waitForDisconnected(5000))
        << "a request without a line break is cut off";
    EXPECT_TRUE(running.waitForLines(kCheckFinished, 3, kWait)) << running.errors().toStdString();
    EXPECT_TRUE(running.started()) << running.errors().toStdString();
    EXPECT_EQ(run(QStringLiteral("--update-now")).first, 0);
    EXPECT_TRUE(running.waitForLines(kCheckFinished, 4, kWait)) << running.errors().toStdString();
    EXPECT_TRUE(running.started());

    // Its latest check failed to publish (nothing listens on port 1): --status says so, line by
    // line, and ends with 1; the copy runs on.
    const auto [failed, report] = run(QStringLiteral("--status"));
    EXPECT_EQ(failed, 1);
    for (const char* line :
         {"result: failed\n", "ipv4: 10.1.2.3\n", "dns: off\n", "next-check: disabled\n"})
        EXPECT_TRUE(report.contains(QLatin1String(line))) << line << "\n" << report.toStdString();
    EXPECT_TRUE(report.contains(QRegularExpression(
        QStringLiteral("^last-check: \\d{4}-\\d\\d-\\d\\dT[^\\n]*\\nresult: [^\\n]*\\n"))))
        << report.toStdString();
    EXPECT_TRUE(running.started());
}
