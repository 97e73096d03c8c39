#include "system/ProgramDirectory.h"
#include "platform/XdgPaths.h"
#include "support/FileBytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(ProgramDirectory, SeedsMissingFilesKeepsUserEditsAndBecomesCurrent)
{
    QTemporaryDir root;
    const QString previous = QDir::currentPath();
    const QString shipped = QStringLiteral(HOSTVANE_SHIPPED_DATA);
    const QString dir = root.filePath(QStringLiteral("HostVane"));

    QString failure;
    ASSERT_TRUE(ProgramDirectory::Prepare(dir, shipped, &failure)) << failure.toStdString();
    EXPECT_EQ(QDir::currentPath(), QFileInfo(dir).canonicalFilePath());
    EXPECT_EQ(QFileInfo(dir).permissions() & 0x7077,
              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    for (const char* name : {"getipNT.bat", "getip95.bat", "template/hostvane.inp"}) {
        const QString seeded = dir + QLatin1Char('/') + QLatin1String(name);
        EXPECT_EQ(FileBytes(seeded), FileBytes(shipped + QLatin1Char('/') + QLatin1String(name)))
            << name;
    }
    EXPECT_TRUE(QFileInfo(dir + QStringLiteral("/getipNT.bat")).isExecutable());

    QFile edited(dir + QStringLiteral("/getipNT.bat"));
    ASSERT_TRUE(edited.open(QIODevice::WriteOnly | QIODevice::Truncate));
    edited.write("#!/bin/sh\nexit 0\n");
    edited.close();
    QFile older(dir + QStringLiteral("/template/hostvane.inp"));
    ASSERT_TRUE(older.open(QIODevice::WriteOnly | QIODevice::Truncate));
    older.write("an older installation's template ~IP~\n");
    older.close();
    // An older installation's manual is brought up to date; a link in its place is replaced,
    // never written through.
    QFile::remove(dir + QStringLiteral("/HostVane.HLP"));
    const QString outside = root.filePath(QStringLiteral("outside"));
    QFile::link(outside, dir + QStringLiteral("/HostVane.HLP"));

    ASSERT_TRUE(ProgramDirectory::Prepare(dir, shipped, &failure));
    EXPECT_EQ(FileBytes(dir + QStringLiteral("/getipNT.bat")), QByteArray("#!/bin/sh\nexit 0\n"));
    EXPECT_EQ(FileBytes(dir + QStringLiteral("/template/hostvane.inp")),
              FileBytes(shipped + QStringLiteral("/template/hostvane.inp")));
    EXPECT_FALSE(QFileInfo(dir + QStringLiteral("/HostVane.HLP")).isSymLink());
    EXPECT_EQ(FileBytes(dir + QStringLiteral("/HostVane.HLP")),
              FileBytes(shipped + QStringLiteral("/HostVane.HLP")));
    EXPECT_FALSE(QFileInfo::exists(outside));
    QDir::setCurrent(previous);
}

// HOME and the XDG variables as a user's session may leave them; never a directory at the
// root of the file system.
TEST(ProgramDirectory, FollowsTheXdgVariablesAndHome)
{
    struct Case
    {
        const char* dataHome;
        const char* configHome;
        const char* home;
        QString programDir;
        QString missing;
    };
    const Case cases[] = {
        {"/tmp/data", "/tmp/config", "/home/u", QStringLiteral("/tmp/data/HostVane"), {}},
        {nullptr, nullptr, "/home/u", QStringLiteral("/home/u/.local/share/HostVane"), {}},
        {"relative/data", nullptr, "/home/u/", QStringLiteral("/home/u/.local/share/HostVane"), {}},
        {nullptr, nullptr, nullptr, QString(), QStringLiteral("XDG_DATA_HOME")},
        {nullptr, nullptr, "", QString(), QStringLiteral("XDG_DATA_HOME")},
        {"/tmp/data", nullptr, nullptr, QStringLiteral("/tmp/data/HostVane"),
         QStringLiteral("XDG_CONFIG_HOME")},
    };
    const char* const names[] = {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "HOME"};
    QByteArray saved[3];
    for (int i = 0; i < 3; ++i)
        saved[i] = qgetenv(names[i]);
    for (const Case& c : cases) {
        const char* values[] = {c.dataHome, c.configHome, c.home};
        for (int i = 0; i < 3; ++i) {
            if (values[i])
                qputenv(names[i], values[i]);
            else
                qunsetenv(names[i]);
        }
        EXPECT_EQ(ProgramDirectory::Path(), c.programDir) << c.dataHome << " " << c.home;
        const QString message = XdgPaths::MissingHomeMessage();
        EXPECT_EQ(message.isEmpty(), c.missing.isEmpty()) << message.toStdString();
        EXPECT_TRUE(message.contains(c.missing) &&
                    (c.missing.isEmpty() || message.contains(QStringLiteral("HOME"))))
            << message.toStdString();
    }
    for (int i = 0; i < 3; ++i) {
        if (saved[i].isNull())
            qunsetenv(names[i]);
        else
            qputenv(names[i], saved[i]);
    }
}

TEST(ProgramDirectory, ReportsADirectoryThatCannotBeMade)
{
    QTemporaryDir root;
    QFile blocker(root.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QString failure;
    EXPECT_FALSE(ProgramDirectory::Prepare(root.filePath(QStringLiteral("file/HostVane")),
                                           QStringLiteral(HOSTVANE_SHIPPED_DATA), &failure));
    EXPECT_TRUE(failure.contains(QStringLiteral("file/HostVane")));
}

} // namespace
