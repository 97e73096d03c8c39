#include "support/CpuClock.h"
#include "support/EventLoopTicker.h"
#include "support/RunningProgram.h"
#include "system/ShellSuprt.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

class ShellWaitTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_previous = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
    }
    void TearDown() override { QDir::setCurrent(m_previous); }

    void writeScript(const QString& name, const QByteArray& body)
    {
        QFile script(m_dir.filePath(name));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n" + body);
        script.close();
        script.setPermissions(script.permissions() | QFile::ExeOwner);
    }

    QTemporaryDir m_dir;
    QString m_previous;
};

TEST_F(ShellWaitTest, ReturnsTheExitCode)
{
    writeScript(QStringLiteral("five.bat"), "exit 5\n");
    writeScript(QStringLiteral("zero.bat"), "exit 0\n");
    EXPECT_EQ(ShellWait(QStringLiteral("five.bat"), false, 0), 5);
    EXPECT_EQ(ShellWait(QStringLiteral("zero.bat"), true, 0), 0);
}

TEST_F(ShellWaitTest, FindsTheCommandInTheCurrentDirectoryAndSendsNulAway)
{
    writeScript(QStringLiteral("report.bat"), "echo noise; echo listing > out.txt\n");
    EXPECT_EQ(ShellWait(QStringLiteral("report.bat > nul"), false, 0), 0);
    QFile out(m_dir.filePath(QStringLiteral("out.txt")));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll(), QByteArray("listing\n"));
    EXPECT_FALSE(QFile::exists(m_dir.filePath(QStringLiteral("nul"))));
}

TEST(ShellCommandLine, RedirectionsToNul)
{
    EXPECT_EQ(ShellSuprt::ShellCommandLine(QStringLiteral("getipNT.bat > nul")),
              QStringLiteral("getipNT.bat > /dev/null"));
    EXPECT_EQ(ShellSuprt::ShellCommandLine(QStringLiteral("a.bat >NUL 2>nul")),
              QStringLiteral("a.bat > /dev/null 2> /dev/null"));
    EXPECT_EQ(ShellSuprt::ShellCommandLine(QStringLiteral("a.bat > null.txt")),
              QStringLiteral("a.bat > null.txt"));
}

TEST_F(ShellWaitTest, CommandThatCannotRunIsAFailure)
{
    EXPECT_NE(ShellWait(QStringLiteral("no-such-command.bat"), false, 0), 0);
    writeScript(QStringLiteral("locked.bat"), "exit 0\n");
    QFile::setPermissions(m_dir.filePath(QStringLiteral("locked.bat")), QFile::ReadOwner);
    EXPECT_NE(ShellWait(QStringLiteral("locked.bat"), false, 0), 0);
}

TEST_F(ShellWaitTest, WhatTheCommandLeftBehindIsEnded)
{
    const struct
    {
        const char* name;
        QByteArray body;
        qint32 result;
    } cases[] = {
        {"hangs", "sleep 30 &\necho $! > child.pid\nsleep 30\n", ShellSuprt::kTimedOut},
        {"ends", "sleep 30 &\necho $! > child.pid\nexit 0\n", 0},
        {"ends, child ignores SIGTERM", "(trap '' TERM; sleep 30) &\necho $! > child.pid\n", 0},
    };
    for (const auto& c : cases) {
        writeScript(QStringLiteral("report.bat"), c.body);
        QElapsedTimer elapsed;
        elapsed.start();
        EXPECT_EQ(ShellWait(QStringLiteral("report.bat"), false, 0, 300ms), c.result) << c.name;
        EXPECT_LT(elapsed.elapsed(), 5000) << c.name;

        QFile pidFile(m_dir.filePath(QStringLiteral("child.pid")));
        ASSERT_TRUE(pidFile.open(QIODevice::ReadOnly)) << c.name;
        const QByteArray pid = pidFile.readAll().trimmed();
        pidFile.remove();
        QElapsedTimer gone;
        gone.start();
        while (ProcessRunning(pid) && gone.elapsed() < 2000)
            QThread::msleep(20);
        EXPECT_FALSE(ProcessRunning(pid)) << c.name << ": the command's own child is still running";
    }
}

TEST_F(ShellWaitTest, SettleLastsBetweenOneSecondLessAndTheTimeAsked)
{
    writeScript(QStringLiteral("quick.bat"), "exit 0\n");
    QElapsedTimer elapsed;
    elapsed.start();
    ShellWait(QStringLiteral("quick.bat"), false, 2);
    EXPECT_GE(elapsed.elapsed(), 1000);
    EXPECT_LE(elapsed.elapsed(), 2500);
}

TEST_F(ShellWaitTest, SettleServesEventsWithoutSpinning)
{
    writeScript(QStringLiteral("quick.bat"), "exit 0\n");
    const EventLoopTicker ticker(100);

    const double before = CpuMilliseconds();
    ShellWait(QStringLiteral("quick.bat"), false, 2);
    const double used = CpuMilliseconds() - before;
    EXPECT_GE(ticker.ticks(), 5) << "window events were not served during the settle time";
    EXPECT_LT(used, 200.0) << "the settle wait spins the CPU";
}

} // namespace
