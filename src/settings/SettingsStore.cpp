#include "settings/SettingsStore.h"

#include "system/RegularFile.h"
#include "system/XdgPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kSection = QStringLiteral("Settings");

// Read from the environment at each use: QSettings would keep the first answer for the
// whole process.
QString defaultFileName()
{
    return XdgPaths::ConfigHome() + QStringLiteral("/HostVane/HostVane.conf");
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
    if (!m_settings)
        return;
    for (QString stored = storedKey(key); !stored.isEmpty(); stored = storedKey(key))
        m_settings->remove(stored);
    m_settings->setValue(key, text);
    m_dirty = true;
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

bool SettingsStore::sync()
{
    if (!m_dirty)
        return true;
    if (!m_settings || !guardFile())
        return false;
    m_settings->sync();
    guardFile();
    m_dirty = false;
    return m_settings->status() == QSettings::NoError;
}
