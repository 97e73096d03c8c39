#include "system/ProgramDirectory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

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
        EXPECT_EQ(readAll(seeded), readAll(shipped + QLatin1Char('/') + QLatin1String(name)))
            << name;
    }
    EXPECT_TRUE(QFileInfo(dir + QStringLiteral("/getipNT.bat")).isExecutable());

    QFile edited(dir + QStringLiteral("/getipNT.bat"));
    ASSERT_TRUE(edited.open(QIODevice::WriteOnly | QIODevice::Truncate));
    edited.write("#!/bin/sh\nexit 0\n");
    edited.close();
    QFile::remove(dir + QStringLiteral("/template/hostvane.inp"));

    ASSERT_TRUE(ProgramDirectory::Prepare(dir, shipped, &failure));
    EXPECT_EQ(readAll(dir + QStringLiteral("/getipNT.bat")), QByteArray("#!/bin/sh\nexit 0\n"));
    EXPECT_TRUE(QFile::exists(dir + QStringLiteral("/template/hostvane.inp")));
    QDir::setCurrent(previous);
}

TEST(ProgramDirectory, FollowsXdgDataHome)
{
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", "/tmp/somewhere");
    EXPECT_EQ(ProgramDirectory::Path(), QStringLiteral("/tmp/somewhere/HostVane"));
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(ProgramDirectory::Path(),
              QDir::homePath() + QStringLiteral("/.local/share/HostVane"));
    if (!saved.isNull())
        qputenv("XDG_DATA_HOME", saved);
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
