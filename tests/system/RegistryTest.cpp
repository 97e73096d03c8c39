#include "system/registry.h"

#include "support/FileBytes.h"
#include "support/TempWorld.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

using namespace registry;

namespace {

const QString kRun = QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
const QString kService = QStringLiteral("SYSTEM\\CurrentControlSet\\Services\\Hostvane");
const QString kMsinfo = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");

QVariant read(const QString& path, const QString& name)
{
    return RegReadKeyValue(HKEY_LOCAL_MACHINE, path, name);
}

void writeFile(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

// desktop-file-validate's verdict and its complaints.
QString validate(const QString& path)
{
    QProcess validator;
    validator.setProcessChannelMode(QProcess::MergedChannels);
    validator.start(QStringLiteral("desktop-file-validate"), {path});
    if (!validator.waitForFinished())
        return QStringLiteral("desktop-file-validate did not run");
    const QString output = QString::fromUtf8(validator.readAll());
    return validator.exitCode() == 0 ? QString() : QStringLiteral("rejected: ") + output;
}

class RegistryTest : public ::testing::Test
{
protected:
    QString autostartEntry() const
    {
        return world.root() + QStringLiteral("/config/autostart/HostVane.desktop");
    }
    QString unit() const
    {
        return world.root() + QStringLiteral("/config/systemd/user/hostvane.service");
    }

    TempWorld world;
};

TEST_F(RegistryTest, RunValueIsTheAutostartEntry)
{
    const QVariant absent = read(kRun, QStringLiteral("HostVane"));
    EXPECT_FALSE(absent.isValid());
    EXPECT_EQ(absent.toString(), QString()) << "empty equals the empty text";

    const QStringList commandLines = {QStringLiteral("\"/opt/Host Vane/bin/hostvane\""),
                                      QStringLiteral("/usr/bin/hostvane"),
                                      QStringLiteral(R"("/a\\b/100%%/hostvane")")};
    for (const QString& commandLine : commandLines) {
        RegWriteKeyValue(HKEY_LOCAL_MACHINE, kRun, QStringLiteral("HostVane"), commandLine, REG_SZ);
        EXPECT_EQ(read(kRun, QStringLiteral("HostVane")).toString(), commandLine);
        EXPECT_EQ(read(kRun, QStringLiteral("hostvane")).toString(), commandLine)
            << "value names match whatever their case";
        EXPECT_EQ(validate(autostartEntry()), QString()) << FileBytes(autostartEntry()).constData();
    }
    EXPECT_TRUE(FileBytes(autostartEntry()).contains("\nIcon=hostvane\n"));

    RegWriteKeyValue(HKEY_LOCAL_MACHINE, kRun, QStringLiteral("HostVane"), QString(), REG_SZ);
    const QVariant blanked = read(kRun, QStringLiteral("HostVane"));
    EXPECT_TRUE(blanked.isValid()) << "the value stays, holding the empty text";
    EXPECT_EQ(blanked.toString(), QString());
    EXPECT_TRUE(FileBytes(autostartEntry()).contains("\nHidden=true\n"));
    EXPECT_EQ(validate(autostartEntry()), QString()) << FileBytes(autostartEntry()).constData();

    RegWriteKeyValue(HKEY_LOCAL_MACHINE, kRun, QStringLiteral("HostVane"), 42, REG_DWORD);
    EXPECT_EQ(read(kRun, QStringLiteral("HostVane")).toString(), QStringLiteral("42"));
    RegWriteKeyValue(HKEY_LOCAL_MACHINE, kRun, QStringLiteral("HostVane"), QStringLiteral("x"), 3);
    EXPECT_EQ(read(kRun, QStringLiteral("HostVane")).toString(), QStringLiteral("42"))
        << "an unhandled type writes nothing";
}

TEST_F(RegistryTest, ServiceKeyIsTheUserUnit)
{
    EXPECT_FALSE(read(kService, QStringLiteral("DisplayName")).isValid());
    writeFile(unit(), "[Unit]\nDescription=HostVane Internet Redirector 100%%\n\n"
                      "[Service]\nDescription=not this one\n");
    EXPECT_EQ(read(kService, QStringLiteral("DisplayName")).toString(),
              QStringLiteral("HostVane Internet Redirector 100%"));
    EXPECT_EQ(read(QStringLiteral("system\\currentcontrolset\\services\\HOSTVANE"),
                   QStringLiteral("displayname"))
                  .toString(),
              QStringLiteral("HostVane Internet Redirector 100%"));
    EXPECT_FALSE(read(kService, QStringLiteral("ImagePath")).isValid());

    writeFile(unit(), "[Unit]\nAfter=network.target\n");
    EXPECT_FALSE(read(kService, QStringLiteral("DisplayName")).isValid());

    RegWriteKeyValue(HKEY_LOCAL_MACHINE, kService, QStringLiteral("DisplayName"),
                     QStringLiteral("x"), REG_SZ);
    EXPECT_EQ(FileBytes(unit()), QByteArray("[Unit]\nAfter=network.target\n"))
        << "the unit belongs to the service component";
}

TEST_F(RegistryTest, SystemInformationProgramIsFoundOnPath)
{
    const QByteArray previousPath = qgetenv("PATH");
    const QString bin = world.root() + QStringLiteral("/bin");
    qputenv("PATH", bin.toUtf8());
    EXPECT_FALSE(read(kMsinfo, QStringLiteral("PATH")).isValid());

    writeFile(bin + QStringLiteral("/kinfocenter"), "#!/bin/sh\n");
    QFile::setPermissions(bin + QStringLiteral("/kinfocenter"), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_EQ(read(kMsinfo, QStringLiteral("PATH")).toString(),
              bin + QStringLiteral("/kinfocenter"));
    EXPECT_FALSE(read(kMsinfo, QStringLiteral("Other")).isValid());
    qputenv("PATH", previousPath);
}

TEST_F(RegistryTest, OtherKeysAreAbsentAndTakeNothing)
{
    struct Case
    {
        quint32 root;
        QString path;
        QString name;
    };
    const Case cases[] = {
        {HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\HostVane"), QStringLiteral("HostVane")},
        {HKEY_LOCAL_MACHINE, kRun + QStringLiteral("Once"), QStringLiteral("HostVane")},
        {0x80000001, kRun, QStringLiteral("HostVane")},
        {HKEY_LOCAL_MACHINE, kRun, QStringLiteral("../HostVane")},
        {HKEY_LOCAL_MACHINE, QStringLiteral("SYSTEM\\CurrentControlSet\\Services\\..\\x"),
         QStringLiteral("DisplayName")},
    };
    for (const Case& c : cases) {
        RegWriteKeyValue(c.root, c.path, c.name, QStringLiteral("/usr/bin/x"), REG_SZ);
        EXPECT_FALSE(RegReadKeyValue(c.root, c.path, c.name).isValid()) << c.path.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(world.root() + QStringLiteral("/config/HostVane.desktop")));
    EXPECT_TRUE(
        QDir(world.root() + QStringLiteral("/config/autostart")).entryList(QDir::Files).isEmpty());

    QVariant kept = QStringLiteral("as it was");
    EXPECT_EQ(RegReadValue(RegKey{}, QStringLiteral("HostVane"), kept), ERROR_INVALID_HANDLE);
    EXPECT_EQ(kept.toString(), QStringLiteral("as it was")) << "a failed read leaves the value";
}

} // namespace
