#include "components/ServiceInstallation.h"

#include "components/NTService.h"
#include "system/AppIdentity.h"
#include "system/Prompt.h"
#include "system/cWinVer.h"
#include "system/registry.h"

#include <QCoreApplication>

using namespace registry;

namespace ServiceInstallation {

namespace {

void show(Prompt& prompt, const QString& text)
{
    prompt.Show(AppIdentity::Title(), text, Prompt::Buttons::Ok);
}

bool updateService(bool Service, NTService& NTService1, Prompt& prompt)
{
    const QString key = QString::fromUtf16(kServicesKey) + NTService1.ServiceName;
    const QString current =
        RegReadKeyValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("DisplayName")).toString();
    if (Service && current.isEmpty()) {
        const bool installed = NTService1.Install();
        show(prompt, NTService1.DisplayName +
                         (installed ? QStringLiteral(" installed as service successfully")
                                    : QStringLiteral(" failed to install as service\n") +
                                          NTService1.InstallFailure()));
        return installed;
    }
    if (!Service && !current.isEmpty()) {
        NTService1.Disconnect();
        const bool removed = NTService1.Uninstall();
        show(prompt, NTService1.DisplayName +
                         (removed ? QStringLiteral(" uninstalled as service successfully")
                                  : QStringLiteral(" failed to uninstall as service")));
        return removed;
    }
    return true;
}

void updateAutostart(bool Service)
{
    const QString name = AppIdentity::Title();
    const QString current =
        RegReadKeyValue(HKEY_LOCAL_MACHINE, QString::fromUtf16(kRunKey), name).toString();
    if (Service && current.isEmpty())
        RegWriteKeyValue(HKEY_LOCAL_MACHINE, QString::fromUtf16(kRunKey), name,
                         AutostartCommandLine(QCoreApplication::applicationFilePath()), REG_SZ);
    else if (!Service && !current.isEmpty())
        RegWriteKeyValue(HKEY_LOCAL_MACHINE, QString::fromUtf16(kRunKey), name, QString(), REG_SZ);
}

} // namespace

bool UpdateServiceSetting(int platformId, bool Service, NTService& NTService1, Prompt& prompt)
{
    if (platformId == cWinVer::WindowsNT)
        return updateService(Service, NTService1, prompt);
    updateAutostart(Service);
    return true;
}

QString AutostartCommandLine(const QString& executable)
{
    QString quoted;
    for (const QChar c : executable) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c == QLatin1Char('%') ? QStringLiteral("%%") : QString(c);
    }
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace ServiceInstallation
