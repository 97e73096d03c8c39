#include "system/ProgramDirectory.h"

#include "platform/RegularFile.h"
#include "platform/XdgPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

#ifndef HOSTVANE_DATA_SUBDIR
#define HOSTVANE_DATA_SUBDIR "share/hostvane"
#endif

QString ProgramDirectory::Path()
{
    const QString dataHome = XdgPaths::DataHome();
    return dataHome.isEmpty() ? QString() : dataHome + QStringLiteral("/HostVane");
}

QString ProgramDirectory::SettingsFolder()
{
    return XdgPaths::ConfigHome() + QStringLiteral("/HostVane");
}

QString ProgramDirectory::ShippedDataPath()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../") +
                           QStringLiteral(HOSTVANE_DATA_SUBDIR));
}

namespace {

// The files the user edits: copied when missing, never replaced.
bool userEdits(const QString& relative)
{
    static const QStringList edited = {QStringLiteral("getipNT.bat"), QStringLiteral("getip95.bat"),
                                       QStringLiteral("getip-public.sh"),
                                       QStringLiteral("hostvane.inp")};
    return edited.contains(relative);
}

// Brings the directory in line with the installation: a shipped file that is missing is copied,
// and the program's own files (the manual, the installed template) follow an upgrade.
QStringList seedFiles(const QDir& target, const QString& shippedData)
{
    QStringList problems;
    const QDir source(shippedData);
    QDirIterator files(shippedData, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString from = files.next();
        const QString relative = source.relativeFilePath(from);
        const QString to = target.filePath(relative);
        const bool present = QFileInfo(to).isSymLink() || QFileInfo::exists(to);
        if (present && userEdits(relative))
            continue;
        QFile shipped(from);
        if (!OpenRegularFile(shipped, QIODevice::ReadOnly)) {
            problems.append(QStringLiteral("cannot read %1").arg(from));
            continue;
        }
        const QByteArray contents = shipped.readAll();
        QFile current(to);
        if (present && OpenRegularFile(current, QIODevice::ReadOnly) &&
            current.readAll() == contents)
            continue;
        target.mkpath(QFileInfo(relative).path());
        // Keeps the scripts' execute permission.
        const auto mode = static_cast<mode_t>(
            QFileInfo(from).permissions().testFlag(QFile::ExeOwner) ? 0700 : 0600);
        if (const QString failure = ReplaceFile(to, contents, mode); !failure.isEmpty())
            problems.append(QStringLiteral("cannot copy %1 to %2: %3").arg(from, to, failure));
    }
    return problems;
}

} // namespace

bool ProgramDirectory::Prepare(const QString& directory, const QString& shippedData,
                               QString* failure)
{
    QDir dir(directory);
    if (!dir.exists()) {
        if (!QDir().mkpath(directory)) {
            *failure = QStringLiteral("Cannot create the program directory %1").arg(directory);
            return false;
        }
        QFile::setPermissions(directory, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    for (const QString& problem : seedFiles(dir, shippedData))
        std::fprintf(stderr, "HostVane: %s\n", problem.toLocal8Bit().constData());
    if (!QDir::setCurrent(directory)) {
        *failure = QStringLiteral("Cannot enter the program directory %1").arg(directory);
        return false;
    }
    return true;
}
