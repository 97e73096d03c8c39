#include "components/NTService.h"

#include "support/RecordingRunner.h"
#include "support/TempWorld.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <syslog.h>

#include <gtest/gtest.h>

namespace {

QString readText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

class NTServiceTest : public ::testing::Test
{
protected:
    NTServiceTest() { service.DisplayName = QStringLiteral("HostVane Internet Redirector"); }

    TempWorld world;
    RecordingRunner runner;
    NTService service{runner};
};

TEST_F(NTServiceTest, UnitRunsThisExecutableHeadlessUnderSupervision)
{
    EXPECT_EQ(service.UnitFilePath(),
              world.root() + QStringLiteral("/config/systemd/user/hostvane.service"));
    const QString unit = service.UnitFileText(QStringLiteral("/opt/Host Vane/100%/bin/hostvane"));
    const QStringList lines = unit.split(QLatin1Char('\n'));
    for (const char* expected :
         {"Description=HostVane Internet Redirector", "Type=notify",
          R"(ExecStart="/opt/Host Vane/100%%/bin/hostvane")",
          "Environment=QT_QPA_PLATFORM=offscreen", "Environment=HOSTVANE_SERVICE=1",
          "Restart=on-failure", "RestartPreventExitStatus=3", "WantedBy=default.target",
          "PrivateUsers=yes", "ProtectSystem=strict", "NoNewPrivileges=yes",
          "MemoryDenyWriteExecute=yes"})
        EXPECT_TRUE(lines.contains(QLatin1String(expected))) << expected << "\n"
                                                             << unit.toStdString();
    // The test's world moves both directories away from their defaults under HOME.
    EXPECT_TRUE(lines.contains(
        QStringLiteral("Environment=XDG_CONFIG_HOME=\"%1/config\"").arg(world.root())))
        << unit.toStdString();
    EXPECT_TRUE(
        lines.contains(QStringLiteral("Environment=XDG_DATA_HOME=\"%1/data\"").arg(world.root())))
        << unit.toStdString();
    EXPECT_TRUE(unit.contains(QStringLiteral("\nRestartSec=")))
        << "a failing start would exhaust the start limit";
    EXPECT_TRUE(lines.contains(
        QStringLiteral("ReadWritePaths=%t \"-%1/data/HostVane\" \"-%1/config/HostVane\"")
            .arg(world.root())))
        << unit.toStdString();

    service.Interactive = true;
    service.NotifyManager = false;
    const QString desktop = service.UnitFileText(QStringLiteral("/usr/bin/hostvane"));
    EXPECT_FALSE(desktop.contains(QStringLiteral("offscreen"))) << "it may show its window";
    EXPECT_FALSE(desktop.contains(QStringLiteral("ProtectSystem"))) << "nor is it sandboxed";
    EXPECT_TRUE(desktop.contains(QStringLiteral("\nType=simple\n"))) << "nobody reports ready";
}

TEST_F(NTServiceTest, InstallWritesReloadsAndEnables)
{
    ASSERT_TRUE(service.Install());
    EXPECT_EQ(runner.commands,
              QStringList({QStringLiteral("systemctl --user daemon-reload"),
                           QStringLiteral("systemctl --user enable hostvane.service")}));
    EXPECT_EQ(readText(service.UnitFilePath()),
              service.UnitFileText(QCoreApplication::applicationFilePath()));

    // A service started by hand is installed but not enabled.
    runner.commands.clear();
    service.StartMode = NTService::OnDemand;
    ASSERT_TRUE(service.Install());
    EXPECT_EQ(runner.commands, QStringList({QStringLiteral("systemctl --user daemon-reload")}));
}

TEST_F(NTServiceTest, FailingManagerLeavesNothingInstalled)
{
    for (const QList<int>& answers :
         {QList<int>{1}, QList<int>{0, 1}, QList<int>{CommandRunner::kFailed}}) {
        runner.exitCodes = answers;
        EXPECT_FALSE(service.Install());
        EXPECT_FALSE(QFileInfo::exists(service.UnitFilePath()));
    }
}

TEST_F(NTServiceTest, UninstallRemovesTheUnitEvenWithoutAManager)
{
    for (const QList<int>& answers : {QList<int>{}, QList<int>{1, 1}}) {
        ASSERT_TRUE(service.Install());
        const QString wants = QFileInfo(service.UnitFilePath()).path() +
                              QStringLiteral("/default.target.wants/hostvane.service");
        QDir().mkpath(QFileInfo(wants).path());
        QFile::link(service.UnitFilePath(), wants);
        runner.commands.clear();
        runner.exitCodes = answers;
        EXPECT_TRUE(service.Uninstall());
        EXPECT_FALSE(QFileInfo::exists(service.UnitFilePath()));
        EXPECT_FALSE(QFileInfo(wants).isSymLink()) << "the enable link was left dangling";
        EXPECT_EQ(runner.commands,
                  QStringList({QStringLiteral("systemctl --user disable hostvane.service"),
                               QStringLiteral("systemctl --user daemon-reload")}));
    }
}

TEST(NTServiceLog, EventIdLeadsTheTextAtTheTypesPriority)
{
    EXPECT_EQ(NTService::SystemLogText(110, QStringLiteral("Hostvane Started.  Version:  1 1 3")),
              QStringLiteral("[110] Hostvane Started.  Version:  1 1 3"));
    EXPECT_EQ(NTService::SystemLogPriority(ServiceEventLog::Success), LOG_INFO);
    EXPECT_EQ(NTService::SystemLogPriority(ServiceEventLog::Warning), LOG_WARNING);
}

} // namespace
