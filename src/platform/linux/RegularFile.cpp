#include "platform/RegularFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int OpenRegularDescriptor(const QString& path, int flags, mode_t mode)
{
    const int fd = ::open(QFile::encodeName(path).constData(),
                          flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, mode);
    if (fd < 0)
        return -1;
    struct stat status
    {
    };
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool OpenRegularFile(QFile& file, QIODevice::OpenMode mode)
{
    const bool writing = mode.testFlag(QIODevice::WriteOnly);
    const int fd =
        OpenRegularDescriptor(file.fileName(), writing ? O_WRONLY | O_CREAT | O_TRUNC : O_RDONLY);
    if (fd < 0)
        return false;
    if (file.open(fd, mode, QFileDevice::AutoCloseHandle))
        return true;
    ::close(fd);
    return false;
}

QString ReplaceFile(const QString& path, const QByteArray& contents, mode_t permissions)
{
    const QFileInfo target(path);
    QByteArray temporary = QFile::encodeName(target.absolutePath() + QStringLiteral("/.") +
                                             target.fileName() + QStringLiteral(".XXXXXX"));
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    int failure = ::fchmod(fd, permissions) == 0 ? 0 : errno;
    for (qsizetype written = 0; failure == 0 && written < contents.size();) {
        const ssize_t step = ::write(fd, contents.constData() + written,
                                     static_cast<size_t>(contents.size() - written));
        if (step < 0 && errno != EINTR)
            failure = errno;
        written += step > 0 ? step : 0;
    }
    if (failure == 0 && ::fsync(fd) != 0)
        failure = errno;
    if (::close(fd) != 0 && failure == 0)
        failure = errno;
    if (failure == 0 && ::rename(temporary.constData(), QFile::encodeName(path).constData()) != 0)
        failure = errno;
    if (failure == 0)
        return QString();
    ::unlink(temporary.constData());
    return QString::fromLocal8Bit(std::strerror(failure));
}

QString AppendToRegularFile(const QString& path, const QByteArray& bytes, mode_t mode)
{
    const int fd = OpenRegularDescriptor(path, O_WRONLY | O_APPEND | O_CREAT, mode);
    if (fd < 0)
        return QStringLiteral("not a regular file that can be written");
    const bool written =
        ::write(fd, bytes.constData(), static_cast<size_t>(bytes.size())) == bytes.size();
    const int failure = written ? 0 : errno;
    ::close(fd);
    return written ? QString() : QString::fromLocal8Bit(std::strerror(failure ? failure : EIO));
}
