#include "components/ServiceInstallation.h"

#include "components/NTService.h"
#include "support/ReadOnlyPath.h"
#include "support/RecordingRunner.h"
#include "support/ScriptedPrompt.h"
#include "support/TempWorld.h"
#include "system/cWinVer.h"
#include "system/registry.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

const QString kRun = QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");

class ServiceInstallationTest : public ::testing::Test
{
protected:
    ServiceInstallationTest()
    {
        service.DisplayName = QStringLiteral("HostVane Internet Redirector");
    }

    void update(bool Service, int platformId = cWinVer::WindowsNT)
    {
        ServiceInstallation::UpdateServiceSetting(platformId, Service, service, prompt);
    }
    QStringList messages() const
    {
        QStringList texts;
        for (const ScriptedPrompt::Shown& shown : prompt.shown) {
            EXPECT_EQ(shown.title, QStringLiteral("HostVane"));
            EXPECT_EQ(shown.buttons, Prompt::Buttons::Ok);
            texts.append(shown.text);
        }
        return texts;
    }
    QString logOnEntry() const
    {
        return registry::RegReadKeyValue(registry::HKEY_LOCAL_MACHINE, kRun,
                                         QStringLiteral("HostVane"))
            .toString();
    }

    TempWorld world;
    RecordingRunner runner;
    NTService service{runner};
    ScriptedPrompt prompt;
};

TEST_F(ServiceInstallationTest, ServiceInstalledOnceWhenSwitchedOn)
{
    update(true);
    EXPECT_EQ(runner.commands,
              QStringList({QStringLiteral("systemctl --user daemon-reload"),
                           QStringLiteral("systemctl --user enable hostvane.service")}));
    EXPECT_EQ(messages(), QStringList(QStringLiteral(
                              "HostVane Internet Redirector installed as service successfully")));
    EXPECT_TRUE(QFile::exists(service.UnitFilePath()));

    update(true);
    EXPECT_EQ(runner.commands.size(), 2) << "installed already: nothing to do";
    EXPECT_EQ(prompt.shown.size(), 1);
    EXPECT_TRUE(logOnEntry().isEmpty()) << "services and log-on entries are not mixed";
}

TEST_F(ServiceInstallationTest, FailedInstallIsReportedAndTriedAgain)
{
    runner.exitCodes = {0, 1};
    runner.errorLine = QStringLiteral("Failed to connect to bus: No medium found");
    EXPECT_FALSE(
        ServiceInstallation::UpdateServiceSetting(cWinVer::WindowsNT, true, service, prompt));
    EXPECT_EQ(messages(), QStringList(QStringLiteral(
                              "HostVane Internet Redirector failed to install as service\n"
                              "systemctl --user enable hostvane.service failed (exit status 1): "
                              "Failed to connect to bus: No medium found")));
    EXPECT_FALSE(QFile::exists(service.UnitFilePath()));

    update(true);
    EXPECT_EQ(messages().last(),
              QStringLiteral("HostVane Internet Redirector installed as service successfully"));
}

TEST_F(ServiceInstallationTest, ServiceRemovedOnceWhenSwitchedOff)
{
    update(false);
    EXPECT_TRUE(runner.commands.isEmpty()) << "nothing installed, nothing to remove";
    EXPECT_TRUE(prompt.shown.isEmpty());

    ASSERT_TRUE(service.Install());
    runner.commands.clear();
    qputenv("HOSTVANE_SERVICE", "1");
    service.Connect();
    qunsetenv("HOSTVANE_SERVICE");
    ASSERT_TRUE(service.Connected());
    update(false);
    EXPECT_FALSE(service.Connected()) << "disconnected before it is removed";
    EXPECT_EQ(runner.commands,
              QStringList({QStringLiteral("systemctl --user disable hostvane.service"),
                           QStringLiteral("systemctl --user daemon-reload")}));
    EXPECT_EQ(messages(), QStringList(QStringLiteral(
                              "HostVane Internet Redirector uninstalled as service successfully")));
    EXPECT_FALSE(QFile::exists(service.UnitFilePath()));

    update(false);
    EXPECT_EQ(prompt.shown.size(), 1);
}

TEST_F(ServiceInstallationTest, FailedUninstallIsReported)
{
    ASSERT_TRUE(service.Install());
    {
        const ReadOnlyPath locked(QFileInfo(service.UnitFilePath()).path());
        update(false);
    }
    EXPECT_EQ(messages(), QStringList(QStringLiteral(
                              "HostVane Internet Redirector failed to uninstall as service")));
    EXPECT_TRUE(QFile::exists(service.UnitFilePath()));
}

TEST_F(ServiceInstallationTest, LogOnEntryFollowsTheSwitchSilently)
{
    for (const int platformId : {cWinVer::Windows95, cWinVer::Win32s}) {
        update(true, platformId);
        EXPECT_EQ(logOnEntry(),
                  QLatin1Char('"') + QCoreApplication::applicationFilePath() + QLatin1Char('"'));
        update(false, platformId);
        EXPECT_TRUE(logOnEntry().isEmpty());
        EXPECT_TRUE(
            QFile::exists(world.root() + QStringLiteral("/config/autostart/HostVane.desktop")))
            << "the entry stays, hidden";
    }
    registry::RegWriteKeyValue(registry::HKEY_LOCAL_MACHINE, kRun, QStringLiteral("HostVane"),
                               QStringLiteral("/elsewhere/hostvane"), registry::REG_SZ);
    update(true, cWinVer::Windows95);
    EXPECT_EQ(logOnEntry(), QStringLiteral("/elsewhere/hostvane")) << "another path is left alone";
    EXPECT_TRUE(runner.commands.isEmpty());
    EXPECT_TRUE(prompt.shown.isEmpty());
    EXPECT_FALSE(QFile::exists(service.UnitFilePath()));
}

TEST_F(ServiceInstallationTest, LogOnCommandLineRunsTheExecutableAsNamed)
{
    const QString commandLine =
        ServiceInstallation::AutostartCommandLine(QStringLiteral(R"(/opt/Host "Vane"/100%/$x\b)"));
    EXPECT_EQ(commandLine, QStringLiteral(R"("/opt/Host \"Vane\"/100%%/\$x\\b")"));
    registry::RegWriteKeyValue(registry::HKEY_LOCAL_MACHINE, kRun, QStringLiteral("HostVane"),
                               commandLine, registry::REG_SZ);
    EXPECT_EQ(logOnEntry(), commandLine);
    const QString entry = world.root() + QStringLiteral("/config/autostart/HostVane.desktop");
    EXPECT_EQ(QProcess::execute(QStringLiteral("desktop-file-validate"), {entry}), 0);
}

} // namespace
