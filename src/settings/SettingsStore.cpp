#include "settings/SettingsStore.h"

#include "platform/RegularFile.h"
#include "platform/XdgPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

const QString kSection = QStringLiteral("Settings");

// Read from the environment at each use: QSettings would keep the first answer for the
// whole process.
QString defaultFileName()
{
    return XdgPaths::ConfigHome() + QStringLiteral("/HostVane/HostVane.conf");
}

QString notRegularFile()
{
    return QStringLiteral("it is not a regular file");
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// A store made by hand keeps the mode it was made with; it holds the password.
void tightenPermissions(const QString& path)
{
    const QByteArray local = QFile::encodeName(path);
    struct stat status = {};
    if (::stat(local.constData(), &status) == 0 && S_ISREG(status.st_mode) &&
        (status.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        ::chmod(local.constData(), status.st_mode & (S_IRUSR | S_IWUSR));
}

// The folder is the user's own, and nobody else's business: owner-only from the first read,
// not only from the first save.
void tightenFolder(const QString& path)
{
    const QByteArray local = QFile::encodeName(path);
    struct stat status = {};
    if (::lstat(local.constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
        status.st_uid == ::getuid() && (status.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        ::chmod(local.constData(), status.st_mode & S_IRWXU);
}

} // namespace

SettingsStore::SettingsStore() : SettingsStore(defaultFileName())
{
}

// Only a file that is absent or regular is handed to QSettings, whose own open() would wait
// for ever on a FIFO; anything else leaves the store empty, so every key reads its default.
SettingsStore::SettingsStore(const QString& fileName) : m_fileName(fileName)
{
    if (QFileInfo::exists(fileName)) {
        const int fd = OpenRegularDescriptor(fileName, O_RDONLY);
        if (fd < 0)
            return;
        ::close(fd);
    }
    m_settings = std::make_unique<QSettings>(fileName, QSettings::IniFormat);
    m_settings->beginGroup(kSection);
    tightenPermissions(fileName);
    tightenFolder(QFileInfo(fileName).path());
}

SettingsStore::~SettingsStore()
{
    sync();
}

QString SettingsStore::fileName() const
{
    return m_fileName;
}

bool SettingsStore::readable() const
{
    return m_settings != nullptr;
}

QString SettingsStore::storedKey(const QString& key) const
{
    if (!m_settings)
        return QString();
    const QStringList keys = m_settings->childKeys();
    for (const QString& candidate : keys) {
        if (candidate.compare(key, Qt::CaseInsensitive) == 0)
            return candidate;
    }
    return QString();
}

QString SettingsStore::get(const QString& key, const QString& fallback) const
{
    const QString stored = storedKey(key);
    if (stored.isEmpty())
        return fallback;
    // An INI value written by hand with a comma in it reads back as a list.
    const QVariant value = m_settings->value(stored);
    return value.typeId() == QMetaType::QStringList ? value.toStringList().join(QLatin1Char(','))
                                                    : value.toString();
}

void SettingsStore::save(const QString& key, const QString& text)
{
    m_dirty = true; // with no file to keep it in, the next sync says so
    if (!m_settings)
        return;
    for (QString stored = storedKey(key); !stored.isEmpty(); stored = storedKey(key)) {
        m_replaced.append({stored, m_settings->value(stored)});
        m_settings->remove(stored);
    }
    m_replaced.append({key, QVariant()});
    m_settings->setValue(key, text);
}

void SettingsStore::takeBackChanges()
{
    if (m_settings) {
        for (auto change = m_replaced.crbegin(); change != m_replaced.crend(); ++change) {
            if (change->second.isValid())
                m_settings->setValue(change->first, change->second);
            else
                m_settings->remove(change->first);
        }
    }
    m_replaced.clear();
    m_dirty = false;
}

// The file is created owner-only before the first write, and set so again after every write
// in case a replaced file came back with wider permissions. False when something other than a
// regular file stands in its place.
bool SettingsStore::guardFile()
{
    QDir().mkpath(QFileInfo(m_fileName).path());
    const int fd = OpenRegularDescriptor(m_fileName, O_WRONLY | O_CREAT, S_IRUSR | S_IWUSR);
    if (fd < 0)
        return false;
    ::fchmod(fd, S_IRUSR | S_IWUSR);
    ::close(fd);
    return true;
}

// QSettings reports a failed write without its cause, so the usual causes are looked for
// first, and a write that fails all the same is put down to a full disk when it is one.
QString SettingsStore::unwritableReason() const
{
    const QString folder = QFileInfo(m_fileName).path();
    if (!QDir().mkpath(folder)) {
        // Asked once more, for the cause: something in the folder's place, or no right.
        const bool made = ::mkdir(QFile::encodeName(folder).constData(), S_IRWXU) == 0;
        return made ? QString() : systemReason(errno == EEXIST ? ENOTDIR : errno);
    }
    const QByteArray local = QFile::encodeName(m_fileName);
    struct stat status = {};
    if (::stat(local.constData(), &status) == 0) {
        if (S_ISDIR(status.st_mode))
            return systemReason(EISDIR);
        if (!S_ISREG(status.st_mode))
            return notRegularFile();
        if (::access(local.constData(), W_OK) != 0)
            return systemReason(errno);
    }
    if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0)
        return systemReason(errno);
    return QString();
}

bool SettingsStore::sync()
{
    if (!m_dirty)
        return true;
    m_error = unwritableReason();
    if (m_error.isEmpty() && !m_settings)
        m_error = notRegularFile();
    if (!m_error.isEmpty()) {
        takeBackChanges();
        return false;
    }
    const QByteArray folder = QFile::encodeName(QFileInfo(m_fileName).path());
    ::chmod(folder.constData(), S_IRWXU);
    // A link in the file's place is replaced by the file, never written through.
    if (QFileInfo(m_fileName).isSymLink())
        QFile::remove(m_fileName);
    if (!guardFile()) {
        m_error = notRegularFile();
        takeBackChanges();
        return false;
    }
    // QSettings replaces the file through a temporary one, owner-only from the start, which
    // takes the guarded file's permissions: no process-wide umask is needed, which would also
    // reach the files the transfer thread makes meanwhile.
    m_settings->sync();
    guardFile();
    if (m_settings->status() != QSettings::NoError) {
        struct statvfs space = {};
        m_error = ::statvfs(folder.constData(), &space) == 0 && space.f_bavail == 0
                      ? systemReason(ENOSPC)
                      : QStringLiteral("the file could not be written");
        takeBackChanges();
        return false;
    }
    m_replaced.clear();
    m_dirty = false;
    return true;
}
