#include "support/RunningProgram.h"
#include "support/TempWorld.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

// The program as a user starts it, headless: its whole first check reaches standard error.
TEST(Program, HeadlessRunEchoesTheHistoryToStandardError)
{
    TempWorld world;
    world.installListingScript(
        "HostVane IP Configuration\n\nNdisWan adapter ppp0 (PPP Adapter):\n\n"
        "        IP Address. . . . . . . . . : 10.1.2.3\n");
    QDir().mkpath(QFileInfo(world.configFile()).path());
    QFile ini(world.configFile());
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Settings]\nHost=127.0.0.1:1\nAutoProcess=1\n");
    ini.close();

    RunningProgram program(QStringLiteral(HOSTVANE_EXECUTABLE),
                           world.root() + QStringLiteral("/runtime"));
    ASSERT_TRUE(program.started());
    program.waitForLines(kCheckFinished, 1, std::chrono::seconds(20));
    const QStringList history = program.history();
    ASSERT_FALSE(history.isEmpty()) << program.errors();
    EXPECT_TRUE(history.first().startsWith(kCheckStarted));
    EXPECT_TRUE(history.contains(QStringLiteral("IP resolved: 10.1.2.3")));
    EXPECT_TRUE(history.contains(QStringLiteral("Error with FTP occurred")));
    EXPECT_TRUE(history.last().startsWith(kCheckFinished));
    EXPECT_TRUE(QFile::exists(world.programDir() + QStringLiteral("/hostvane.htm")))
        << "the program works in its own directory, not where it was started";
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

} // namespace
