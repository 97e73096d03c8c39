#pragma once

#include <QString>

// Makes a file or folder unwritable for the running user while it lives: its write bits are
// cleared and, for root (whom permissions do not stop), it is marked immutable with chattr.
// Everything is put back when it goes away.
class ReadOnlyPath
{
public:
    explicit ReadOnlyPath(const QString& path);
    ~ReadOnlyPath();
    ReadOnlyPath(const ReadOnlyPath&) = delete;
    ReadOnlyPath& operator=(const ReadOnlyPath&) = delete;

private:
    bool chattr(const char* flag) const;

    QString m_path;
    unsigned m_mode = 0;
};
