#include "support/TempWorld.h"
#include "support/FileBytes.h"

#include "system/ProgramDirectory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {
const char* const kVariables[] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"};
constexpr int kVariableCount = 4;
} // namespace

TempWorld::TempWorld() : m_previousDir(QDir::currentPath())
{
    for (int i = 0; i < kVariableCount; ++i)
        m_saved[i] = qgetenv(kVariables[i]);
    qputenv("HOME", m_dir.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (m_dir.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (m_dir.path() + QStringLiteral("/data")).toUtf8());
    const QString runtime = m_dir.path() + QStringLiteral("/run");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    m_programDir = ProgramDirectory::Path();
    QString failure;
    if (!ProgramDirectory::Prepare(m_programDir, QStringLiteral(HOSTVANE_SHIPPED_DATA), &failure))
        throw std::runtime_error(failure.toStdString());
}

TempWorld::~TempWorld()
{
    QDir::setCurrent(m_previousDir);
    for (int i = 0; i < kVariableCount; ++i) {
        if (m_saved[i].isNull())
            qunsetenv(kVariables[i]);
        else
            qputenv(kVariables[i], m_saved[i]);
    }
}

QString TempWorld::configFile() const
{
    return m_dir.path() + QStringLiteral("/config/HostVane/HostVane.conf");
}

void TempWorld::writeFile(const QString& relativeName, const QByteArray& text, bool executable)
{
    const QString path = m_programDir + QLatin1Char('/') + relativeName;
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size())
        throw std::runtime_error("cannot write " + path.toStdString());
    file.close();
    if (executable)
        file.setPermissions(file.permissions() | QFile::ExeOwner);
}

QByteArray TempWorld::readFile(const QString& relativeName) const
{
    return FileBytes(m_programDir + QLatin1Char('/') + relativeName);
}

void TempWorld::installListingScript(const QByteArray& listing, int exitCode)
{
    writeFile(QStringLiteral("listing.txt"), listing);
    const QByteArray script =
        "#!/bin/sh\ncat listing.txt > hostvane.ip\nexit " + QByteArray::number(exitCode) + "\n";
    installScripts(script);
}

void TempWorld::installInterfaceListingScript(const QString& device)
{
    const QByteArray script = "#!/bin/sh\nexec /bin/sh '" HOSTVANE_TEST_SUPPORT_DIR
                              "/interface_listing.sh' '" +
                              device.toUtf8() + "'\n";
    installScripts(script);
}

void TempWorld::installScripts(const QByteArray& script)
{
    writeFile(QStringLiteral("getipNT.bat"), script, true);
    writeFile(QStringLiteral("getip95.bat"), script, true);
}

void TempWorld::writeSettings(const QByteArray& ini) const
{
    QDir().mkpath(QFileInfo(configFile()).path());
    QFile file(configFile());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(ini) != ini.size())
        ADD_FAILURE() << "cannot write " << configFile().toStdString();
}
