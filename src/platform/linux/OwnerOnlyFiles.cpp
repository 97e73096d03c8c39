#include "platform/OwnerOnlyFiles.h"

#include "platform/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace OwnerOnlyFiles {

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

bool AbsentOrRegular(const QString& path)
{
    if (!QFileInfo::exists(path))
        return true;
    const int fd = OpenRegularDescriptor(path, O_RDONLY);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

void TightenFile(const QString& path)
{
    const QByteArray local = QFile::encodeName(path);
    struct stat status = {};
    if (::stat(local.constData(), &status) == 0 && S_ISREG(status.st_mode) &&
        (status.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        ::chmod(local.constData(), status.st_mode & (S_IRUSR | S_IWUSR));
}

void TightenFolder(const QString& path)
{
    const QByteArray local = QFile::encodeName(path);
    struct stat status = {};
    if (::lstat(local.constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
        status.st_uid == ::getuid() && (status.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        ::chmod(local.constData(), status.st_mode & S_IRWXU);
}

bool GuardFile(const QString& path)
{
    const int fd = OpenRegularDescriptor(path, O_WRONLY | O_CREAT, S_IRUSR | S_IWUSR);
    if (fd < 0)
        return false;
    ::fchmod(fd, S_IRUSR | S_IWUSR);
    ::close(fd);
    return true;
}

QString WhyNotWritable(const QString& path)
{
    const QString folder = QFileInfo(path).path();
    if (!QDir().mkpath(folder)) {
        // Asked once more, for the cause: something in the folder's place, or no right.
        const bool made = ::mkdir(QFile::encodeName(folder).constData(), S_IRWXU) == 0;
        return made ? QString() : systemReason(errno == EEXIST ? ENOTDIR : errno);
    }
    const QByteArray local = QFile::encodeName(path);
    struct stat status = {};
    if (::stat(local.constData(), &status) == 0) {
        if (S_ISDIR(status.st_mode))
            return systemReason(EISDIR);
        if (!S_ISREG(status.st_mode))
            return QStringLiteral("it is not a regular file");
        if (::access(local.constData(), W_OK) != 0)
            return systemReason(errno);
    }
    if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0)
        return systemReason(errno);
    return QString();
}

QString DiskFullReason(const QString& folder)
{
    struct statvfs space = {};
    return ::statvfs(QFile::encodeName(folder).constData(), &space) == 0 && space.f_bavail == 0
               ? systemReason(ENOSPC)
               : QString();
}

} // namespace OwnerOnlyFiles
