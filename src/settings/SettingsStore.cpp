#include "settings/SettingsStore.h"

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

SettingsStore::SettingsStore(const QString& fileName)
    : m_settings(std::make_unique<QSettings>(fileName, QSettings::IniFormat))
{
    m_settings->beginGroup(kSection);
}

SettingsStore::~SettingsStore()
{
    sync();
}

QString SettingsStore::fileName() const
{
    return m_settings->fileName();
}

QString SettingsStore::storedKey(const QString& key) const
{
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
    for (QString stored = storedKey(key); !stored.isEmpty(); stored = storedKey(key))
        m_settings->remove(stored);
    m_settings->setValue(key, text);
    m_dirty = true;
}

// The file is created owner-only before the first write, and set so again after every write
// in case a replaced file came back with wider permissions.
void SettingsStore::guardFile()
{
    const QString path = m_settings->fileName();
    QDir().mkpath(QFileInfo(path).path());
    const QByteArray local = QFile::encodeName(path);
    const int fd = ::open(local.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd >= 0)
        ::close(fd);
    ::chmod(local.constData(), S_IRUSR | S_IWUSR);
}

bool SettingsStore::sync()
{
    if (!m_dirty)
        return true;
    guardFile();
    m_settings->sync();
    guardFile();
    m_dirty = false;
    return m_settings->status() == QSettings::NoError;
}
