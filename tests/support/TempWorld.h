#pragma once

#include <QString>
#include <QTemporaryDir>

// A private per-user world for one test: HOME and the XDG configuration, data and runtime
// directories point into a fresh temporary directory, and a program directory seeded with the
// shipped files is made current. Everything is put back when the world goes away.
class TempWorld
{
public:
    TempWorld();
    ~TempWorld();
    TempWorld(const TempWorld&) = delete;
    TempWorld& operator=(const TempWorld&) = delete;

    QString root() const { return m_dir.path(); }
    QString programDir() const { return m_programDir; }
    QString configFile() const;
    // Replaces the settings file with `ini`.
    void writeSettings(const QByteArray& ini) const;

    // Writes `text` to `relativeName` in the program directory (creating folders as needed).
    void writeFile(const QString& relativeName, const QByteArray& text, bool executable = false);
    QByteArray readFile(const QString& relativeName) const;
    // Replaces the address-report scripts by one that prints `listing` and exits `exitCode`.
    void installListingScript(const QByteArray& listing, int exitCode = 0);
    // Replaces them by one that lists the interface `device` as it is now, IPv6 included.
    void installInterfaceListingScript(const QString& device);

private:
    void installScripts(const QByteArray& script);

    QTemporaryDir m_dir;
    QString m_programDir;
    QString m_previousDir;
    QByteArray m_saved[4]; // the variables as they were
};
