#include "support/WestonCompositor.h"
#include "support/FileBytes.h"

#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QTest>

WestonCompositor::WestonCompositor()
{
    QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardOutputFile(m_runtime.filePath(QStringLiteral("weston.log")));
    m_process.start(QStringLiteral("weston"),
                    {QStringLiteral("--backend=headless-backend.so"),
                     QStringLiteral("--socket=wayland-hv"), QStringLiteral("--idle-time=0"),
                     QStringLiteral("--width=1280"), QStringLiteral("--height=800")});
    m_ready =
        m_process.waitForStarted() &&
        QTest::qWaitFor(
            [this] {
                return QFileInfo::exists(socketPath()) || m_process.state() != QProcess::Running;
            },
            10000) &&
        QFileInfo::exists(socketPath());
}

WestonCompositor::~WestonCompositor()
{
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
    m_process.waitForFinished();
}

QByteArray WestonCompositor::log() const
{
    return FileBytes(m_runtime.filePath(QStringLiteral("weston.log")));
}

void WestonCompositor::becomeClient() const
{
    qputenv("WAYLAND_DISPLAY", QFile::encodeName(socketPath()));
    qputenv("QT_QPA_PLATFORM", "wayland");
    qunsetenv("DISPLAY");
}
