#pragma once

#include <QByteArray>
#include <QProcess>
#include <QTemporaryDir>

// A Weston compositor on its headless backend, in a runtime directory of its own, ended with
// the object: a real Wayland desktop for the program's windows.
class WestonCompositor
{
public:
    WestonCompositor();
    ~WestonCompositor();
    WestonCompositor(const WestonCompositor&) = delete;
    WestonCompositor& operator=(const WestonCompositor&) = delete;

    bool running() const { return m_process.state() == QProcess::Running && m_ready; }
    QString socketPath() const { return m_runtime.filePath(QStringLiteral("wayland-hv")); }
    QByteArray log() const;
    // Makes Qt applications created after this call clients of this compositor.
    void becomeClient() const;

private:
    QTemporaryDir m_runtime;
    QProcess m_process;
    bool m_ready = false;
};
