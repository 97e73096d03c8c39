// The unit HostVane writes for its service, run by a real systemd user manager: under the
// unit's sandbox the service still publishes everywhere it is set to.
#include "components/NTService.h"
#include "support/DnsServers.h"
#include "support/EngineRig.h"
#include "support/FileBytes.h"
#include "support/LoopbackServer.h"
#include "support/RecordingRunner.h"
#include "support/SshServer.h"
#include "support/TempWorld.h"
#include "support/UserManager.h"
#include "system/ProgramDirectory.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <unistd.h>

#include <gtest/gtest.h>

namespace {

const QByteArray kAddress = "203.0.113.7";

// What the DNS server itself answers for the name.
QByteArray dig(const DnsTestServer& server, const char* name)
{
    QProcess dig;
    dig.start(QStringLiteral("dig"),
              {QStringLiteral("@127.0.0.1"), QStringLiteral("-p"), QString::number(server.port()),
               QStringLiteral("+short"), QStringLiteral("+norecurse"), QLatin1String(name)});
    dig.waitForFinished();
    return dig.readAllStandardOutput().trimmed();
}

} // namespace

// The page is published over FTP, the DNS name is updated at Knot (RFC 2136),
// the dyndns2 service is asked and the hook runs; the hook cannot write outside the folders the
// unit opens, and the process runs with no new privileges under a system-call filter. Then the
// same service publishes over SFTP.
TEST(SandboxedService, PublishesOverFtpSftpAndTheDnsTargets)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "the user manager's mount namespace needs root";
    TempWorld world;
    world.installListingScript(DialUpListing(kAddress));
    const LoopbackServer ftp = LoopbackServer::Ftp(QStringLiteral("user"), QStringLiteral("pw1"));
    const KnotServer knot;
    const LoopbackServer dyndns = LoopbackServer::UpdateService(QStringLiteral("good"));
    const QString outside = world.root() + QStringLiteral("/outside");
    world.writeFile(QStringLiteral("hook.sh"),
                    "#!/bin/sh\necho \"$HOSTVANE_IP\" > hook.txt\ntouch '" +
                        QFile::encodeName(outside) + "'\n",
                    true);
    const QByteArray targets =
        "[Dns]\nServer=" + knot.server().toUtf8() + "\nZone=" + DnsTestServer::zone().toUtf8() +
        "\nName=home\nTsigName=" + DnsTestServer::keyName().toUtf8() +
        "\nTsigAlgorithm=" + DnsTestServer::algorithm().toUtf8() +
        "\nTsigSecret=" + DnsTestServer::secret().toUtf8() +
        "\n[DynDns]\nUrl=http://127.0.0.1:" + QByteArray::number(dyndns.port()) +
        "/nic/update\nUser=u\nPassword=p\nName=home\n[Hook]\n" +
        "Command=" + QFile::encodeName(world.programDir()) + "/hook.sh\n";
    world.writeSettings("[Settings]\nHost=" + ftp.address().toUtf8() +
                        "\nUser=user\nPword=pw1\nDir=/\nAutoProcess=001\nRefresh=99\n" + targets);

    RecordingRunner runner;
    NTService service(runner);
    service.DisplayName = QStringLiteral("HostVane Internet Redirector");
    const QString unit = service.UnitFilePath();
    QDir().mkpath(unit + QStringLiteral(".d"));
    QFile text(unit);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write(service.UnitFileText(QStringLiteral(HOSTVANE_SERVICE_EXECUTABLE)).toUtf8());
    text.close();
    // There is no journal here: the history goes to a file.
    const QString history = world.root() + QStringLiteral("/history.log");
    QFile dropIn(unit + QStringLiteral(".d/history.conf"));
    ASSERT_TRUE(dropIn.open(QIODevice::WriteOnly));
    dropIn.write("[Service]\nStandardError=append:" + QFile::encodeName(history) + "\n");
    dropIn.close();

    const UserManager manager(world.root() + QStringLiteral("/run"));
    ASSERT_TRUE(manager.running());
    const auto unitStatus = [&] {
        QString said;
        manager.systemctl({QStringLiteral("status"), QStringLiteral("hostvane")}, &said);
        return said.toStdString();
    };
    ASSERT_EQ(manager.systemctl({QStringLiteral("start"), QStringLiteral("hostvane")}), 0)
        << unitStatus();
    const QString page = ftp.home() + QStringLiteral("/hostvane.html");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return FileBytes(world.programDir() + QStringLiteral("/hook.txt")) == kAddress + '\n';
        },
        30000))
        << FileBytes(history).data();
    EXPECT_TRUE(FileBytes(page).contains("http://" + kAddress + "/")) << FileBytes(history).data();
    EXPECT_EQ(dig(knot, "home.example.org"), kAddress);
    EXPECT_EQ(dyndns.requests().size(), 1);
    EXPECT_FALSE(QFile::exists(outside)) << "the hook wrote outside the open folders";
    QString pid;
    manager.systemctl({QStringLiteral("show"), QStringLiteral("-p"), QStringLiteral("MainPID"),
                       QStringLiteral("--value"), QStringLiteral("hostvane")},
                      &pid);
    const QByteArray status = FileBytes(QStringLiteral("/proc/%1/status").arg(pid.trimmed()));
    EXPECT_TRUE(status.contains("NoNewPrivs:\t1") && status.contains("Seccomp:\t2"))
        << status.data();

    const SshServer sshd;
    const QString ssh = QDir::homePath() + QStringLiteral("/.ssh/");
    QDir().mkpath(ssh);
    MakeSshKey(ssh + QStringLiteral("id_ed25519"));
    sshd.authorize(ssh + QStringLiteral("id_ed25519.pub"));
    world.writeFile(QStringLiteral("known_hosts"), sshd.knownHostsLine());
    world.writeSettings("[Settings]\nHost=sftp://127.0.0.1:" + QByteArray::number(sshd.port()) +
                        "\nUser=" + sshd.user().toUtf8() +
                        "\nDir=/\nAutoProcess=001\nRefresh=99\n");
    ASSERT_EQ(manager.systemctl({QStringLiteral("restart"), QStringLiteral("hostvane")}), 0)
        << unitStatus();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return QFile::exists(sshd.home() + QStringLiteral("/hostvane.html")); }, 30000));
    QString state;
    manager.systemctl({QStringLiteral("is-active"), QStringLiteral("hostvane")}, &state);
    EXPECT_EQ(state.trimmed(), QStringLiteral("active")) << "the service runs on";
}
