#include "settings/SettingsStore.h"

#include "platform/OwnerOnlyFiles.h"
#include "system/ProgramDirectory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>

namespace {

const QString kSection = QStringLiteral("Settings");

// Read from the environment at each use: QSettings would keep the first answer for the
// whole process.
QString defaultFileName()
{
    return ProgramDirectory::SettingsFolder() + QStringLiteral("/HostVane.conf");
}

QString notRegularFile()
{
    return QStringLiteral("it is not a regular file");
}

} // namespace

SettingsStore::SettingsStore() : SettingsStore(defaultFileName())
{
}

// Only a file that is absent or regular is handed to QSettings, whose own open() would wait
// for ever on a FIFO; anything else leaves the store empty, so every key reads its default.
SettingsStore::SettingsStore(const QString& fileName) : m_fileName(fileName)
{
    if (!OwnerOnlyFiles::AbsentOrRegular(fileName))
        return;
    m_settings = std::make_unique<QSettings>(fileName, QSettings::IniFormat);
    // A store made by hand keeps the mode it was made with, and it holds the password; the
    // folder is owner-only from the first read, not only from the first save.
    OwnerOnlyFiles::TightenFile(fileName);
    OwnerOnlyFiles::TightenFolder(QFileInfo(fileName).path());
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

// The stored path ("group/Key") of the key in the group, whatever its case; empty for none.
QString SettingsStore::storedKey(const QString& group, const QString& key) const
{
    if (!m_settings)
        return QString();
    // A section written by hand may differ in case, as keys may.
    const QStringList groups = m_settings->childGroups();
    const auto match = std::find_if(groups.cbegin(), groups.cend(), [&](const QString& name) {
        return name.compare(group, Qt::CaseInsensitive) == 0;
    });
    if (match == groups.cend())
        return QString();
    m_settings->beginGroup(*match);
    const QStringList keys = m_settings->childKeys();
    m_settings->endGroup();
    for (const QString& candidate : keys) {
        if (candidate.compare(key, Qt::CaseInsensitive) == 0)
            return *match + QLatin1Char('/') + candidate;
    }
    return QString();
}

QString SettingsStore::get(const QString& key, const QString& fallback) const
{
    return get(kSection, key, fallback);
}

QString SettingsStore::get(const QString& group, const QString& key, const QString& fallback) const
{
    const QString stored = storedKey(group, key);
    if (stored.isEmpty())
        return fallback;
    // An INI value written by hand with a comma in it reads back as a list.
    const QVariant value = m_settings->value(stored);
    return value.typeId() == QMetaType::QStringList ? value.toStringList().join(QLatin1Char(','))
                                                    : value.toString();
}

void SettingsStore::save(const QString& key, const QString& text)
{
    save(kSection, key, text);
}

void SettingsStore::save(const QString& group, const QString& key, const QString& text)
{
    m_dirty = true; // with no file to keep it in, the next sync says so
    if (!m_settings)
        return;
    for (QString stored = storedKey(group, key); !stored.isEmpty();
         stored = storedKey(group, key)) {
        m_replaced.append({stored, m_settings->value(stored)});
        m_settings->remove(stored);
    }
    const QString path = group + QLatin1Char('/') + key;
    m_replaced.append({path, QVariant()});
    m_settings->setValue(path, text);
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
    return OwnerOnlyFiles::GuardFile(m_fileName);
}

bool SettingsStore::sync()
{
    if (!m_dirty)
        return true;
    // QSettings reports a failed write without its cause, so the usual causes are looked for
    // first, and a write that fails all the same is put down to a full disk when it is one.
    m_error = OwnerOnlyFiles::WhyNotWritable(m_fileName);
    if (m_error.isEmpty() && !m_settings)
        m_error = notRegularFile();
    if (!m_error.isEmpty()) {
        takeBackChanges();
        return false;
    }
    const QString folder = QFileInfo(m_fileName).path();
    OwnerOnlyFiles::TightenFolder(folder);
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
        m_error = OwnerOnlyFiles::DiskFullReason(folder);
        if (m_error.isEmpty())
            m_error = QStringLiteral("the file could not be written");
        takeBackChanges();
        return false;
    }
    m_replaced.clear();
    m_dirty = false;
    return true;
}
