// The program's settings: loading them, and what the settings dialog shows and saves.
#include "control/ProgramParts.h"

#include "components/DnsClient.h"
#include "components/ServiceInstallation.h"
#include "engine/AddressDiscovery.h"
#include "platform/CommandRunner.h"
#include "platform/RegularFile.h"
#include "settings/SettingsStore.h"
#include "settings/SettingsTable.h"
#include "settings/TargetSettings.h"
#include "system/AppIdentity.h"
#include "system/Prompt.h"
#include "system/RuntimeFormat.h"
#include "system/registry.h"

#include <QFile>

namespace {

const QString kServiceKey = QStringLiteral("RunAsService");

bool GetKeyValue(quint32 KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal)
{
    const QVariant value = registry::RegReadKeyValue(KeyRoot, KeyName, SubKeyRef);
    KeyVal = value.isValid() ? value.toString() : QString();
    return value.isValid();
}

} // namespace

void ProgramController::LoadSettings()
{
    const SettingsStore store;
    if (!store.readable())
        m_prompt.Show(AppIdentity::Title(),
                      QStringLiteral("Cannot read the settings file %1; the defaults are used.")
                          .arg(store.fileName()),
                      Prompt::Buttons::Ok);
    m_parts->settings = SettingsKeys::Load(store, m_parts->platform.WinverPlatform());
    loadSecrets(store);
    SetEnabled(m_parts->settings.ProcessingEnabled);
}

void ProgramController::reportUnsaved(const SettingsStore& store)
{
    m_prompt.Show(AppIdentity::Title(),
                  QStringLiteral("The settings could not be saved to %1: %2")
                      .arg(store.fileName(), store.errorString()),
                  Prompt::Buttons::Ok);
}

QVariantMap ProgramController::ShownSettings() const
{
    return SettingsKeys::Shown(m_parts->settings);
}

// A save may run systemctl and wait for it: no check starts meanwhile, and one asked for runs
// when the save is over.
bool ProgramController::SaveSettings(const QVariantMap& typed)
{
    Parts& p = *m_parts;
    const Parts::Activity before = p.activity;
    p.activity = Parts::Activity::Saving;
    SettingsStore store;
    const QVariantMap toFile =
        moveSecretsToKeyring(typed, store, typed.value(kServiceKey).toBool());
    const bool saved = SettingsKeys::Save(store, toFile);
    if (!saved) {
        reportUnsaved(store);
    } else {
        LoadSettings();
        if (!ServiceInstallation::UpdateServiceSetting(
                p.platform.WinverPlatform(), p.settings.Service, p.NTService1, m_prompt)) {
            // The switch shows what the machine has: a service that failed to install is off.
            QVariantMap kept = toFile;
            kept.insert(kServiceKey, !p.settings.Service);
            if (SettingsKeys::Save(store, kept))
                LoadSettings();
        }
    }
    p.activity = before;
    if (before == Parts::Activity::Idle)
        runAskedCheck();
    return saved;
}

QVariantMap ProgramController::ShownTargets() const
{
    return TargetSettings::Shown(m_parts->settings);
}

bool ProgramController::SaveTargets(const QVariantMap& typed)
{
    SettingsStore store;
    if (!TargetSettings::Save(store,
                              moveSecretsToKeyring(typed, store, m_parts->settings.Service))) {
        reportUnsaved(store);
        return false;
    }
    LoadSettings();
    return true;
}

QString ProgramController::TargetStatus(const QString& name) const
{
    const std::optional<UpdateCheck::TargetStatus> last = m_parts->engine.check.LastStatus(name);
    if (!last)
        return QStringLiteral("Not tried since HostVane started");
    return QStringLiteral("Last try %1: %2 %3")
        .arg(FormatDate(last->at, kStartedPattern),
             last->addresses.List().join(QStringLiteral(", ")), ResultText(last->result));
}

QVariantMap ProgramController::ReadTsigKeyFile(const QString& path)
{
    QFile file(path);
    const std::optional<TsigKey> key = OpenRegularFile(file, QIODevice::ReadOnly)
                                           ? TsigKey::FromKeyFile(file.read(64 * 1024))
                                           : std::nullopt;
    if (!key) {
        m_prompt.Show(AppIdentity::Title(),
                      QStringLiteral("%1 holds no TSIG key (key name, algorithm and secret) as "
                                     "tsig-keygen writes it.")
                          .arg(path),
                      Prompt::Buttons::Ok);
        return {};
    }
    return {{QStringLiteral("Dns/TsigName"), key->name},
            {QStringLiteral("Dns/TsigAlgorithm"), key->algorithm},
            {QStringLiteral("Dns/TsigSecret"), key->secret}};
}

QString ProgramController::DefaultIdentity() const
{
    for (const SettingsKeys::Key& key : SettingsKeys::Table()) {
        if (std::holds_alternative<QString Settings::*>(key.variable) &&
            std::get<QString Settings::*>(key.variable) == &Settings::sAdapterIdentity)
            return key.fallback(m_parts->platform.WinverPlatform());
    }
    return QString();
}

QString ProgramController::PublicIdentity()
{
    return kPublicIdentity;
}

QList<std::pair<QString, QString>> ProgramController::ListedAdapters() const
{
    QList<std::pair<QString, QString>> adapters;
    for (const ListedAdapter& adapter : ::ListedAdapters(QStringLiteral("hostvane.ip")))
        adapters.append({adapter.name, adapter.address});
    return adapters;
}

void ProgramController::ShowSystemInformation()
{
    QString path;
    if (GetKeyValue(registry::HKEY_LOCAL_MACHINE,
                    QString::fromUtf16(registry::kSystemInformationKey), QStringLiteral("PATH"),
                    path) &&
        m_runner.StartDetached(path, {}))
        return;
    m_prompt.Show(AppIdentity::Title(),
                  QStringLiteral("System Information Is Unavailable At This Time"),
                  Prompt::Buttons::Ok);
}
