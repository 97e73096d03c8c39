#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

#include <memory>

class QSettings;

// The per-user settings store: text values in sections, with keys matched without regard to
// case. Kept in an INI file that holds the FTP password, so the
// file is readable by its owner only.
class SettingsStore
{
public:
    // $XDG_CONFIG_HOME/HostVane/HostVane.conf, section "Settings".
    SettingsStore();
    // A store in the given file, for tests and tools.
    explicit SettingsStore(const QString& fileName);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // The stored text of the key, whatever its case, or `fallback` when no such key exists;
    // in section "Settings" or in `group`.
    QString get(const QString& key, const QString& fallback) const;
    QString get(const QString& group, const QString& key, const QString& fallback) const;
    // Stores the text under the key, replacing the key in whatever case it was stored.
    void save(const QString& key, const QString& text);
    void save(const QString& group, const QString& key, const QString& text);
    // Replaces the file whole with the pending changes (owner-only, in an owner-only folder);
    // false when it could not be written, with the reason in errorString(). A failed write
    // takes the changes back: QSettings shares what it holds among all stores of the file in
    // the process, and the next store must read what the file holds, not what was not saved.
    bool sync();
    QString errorString() const { return m_error; }

    QString fileName() const;
    // False when the file exists but cannot be read (not a regular file, or no permission);
    // such a store holds no keys and writes nothing.
    bool readable() const;

private:
    QString storedKey(const QString& group, const QString& key) const;
    bool guardFile();
    void takeBackChanges();

    QString m_fileName;
    std::unique_ptr<QSettings> m_settings;
    bool m_dirty = false;
    QString m_error;
    // What each change replaced, in order: the key as stored and its value, or no value where
    // the key did not exist.
    QList<QPair<QString, QVariant>> m_replaced;
};
