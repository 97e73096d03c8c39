#include "system/ProgramDirectory.h"

#include "platform/XdgPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#ifndef HOSTVANE_DATA_SUBDIR
#define HOSTVANE_DATA_SUBDIR "share/hostvane"
#endif

QString ProgramDirectory::Path()
{
    const QString dataHome = XdgPaths::DataHome();
    return dataHome.isEmpty() ? QString() : dataHome + QStringLiteral("/HostVane");
}

QString ProgramDirectory::ShippedDataPath()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../") +
                           QStringLiteral(HOSTVANE_DATA_SUBDIR));
}

namespace {

void seedMissingFiles(const QDir& target, const QString& shippedData)
{
    const QDir source(shippedData);
    QDirIterator files(shippedData, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString from = files.next();
        const QString relative = source.relativeFilePath(from);
        const QString to = target.filePath(relative);
        if (QFileInfo::exists(to))
            continue;
        target.mkpath(QFileInfo(relative).path());
        QFile::copy(from, to); // keeps the scripts' execute permission
        QFile::setPermissions(to, QFile::permissions(from) | QFile::WriteOwner);
    }
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
    seedMissingFiles(dir, shippedData);
    if (!QDir::setCurrent(directory)) {
        *failure = QStringLiteral("Cannot enter the program directory %1").arg(directory);
        return false;
    }
    return true;
}
