#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>

class SettingsStore;

// Minutes between automatic checks until the user chooses otherwise.
inline constexpr qint32 kDefaultRefreshMinutes = 5;

// The user settings as the program uses them, with the two values derived on load.
struct Settings
{
    QString sProxy;
    QString sUser;
    QString sPword;
    QString sHost;
    QString sTargetdir; // always ends in "/" after a load
    QString sTargetUrl; // "FTP://" followed by sHost
    qint32 lUpdateFrequency = kDefaultRefreshMinutes;
    bool ProcessingEnabled = false;
    bool StartMinimized = false;
    bool Service = false;
    QString sAdapterIdentity;

    // Where the addresses go beside the FTP server (see TargetSettings.h).
    bool PublishPage = true;
    QString sDnsServer;
    QString sDnsZone;
    QString sDnsNames;
    qint32 lDnsTtl = 60;
    QString sTsigName;
    QString sTsigAlgorithm;
    QString sTsigSecret;
    QString sDynDnsUrl;
    QString sDynDnsUser;
    QString sDynDnsPassword;
    QString sDynDnsNames;
    QString sHookCommand;
};

// Values typed for the settings, by the key the file stores each under ("Host", "Refresh",
// "AutoProcess" ...): a text, or true or false for a switch.
using SettingValues = QVariantMap;

namespace SettingsKeys {

// Stands for the user's provider's FTP server until the real one is entered.
inline QString PlaceholderHost()
{
    return QStringLiteral("ftp.your-provider.example");
}

// Reads the ten keys with their defaults; the adapter default follows the platform id.
Settings Load(const SettingsStore& store, int platformId);

// Writes the ten keys from the typed values, each converted as the store keeps it, and
// replaces the file; false when it could not be written (the store says why).
bool Save(SettingsStore& store, const SettingValues& values);

// The settings as values to show for editing.
SettingValues Shown(const Settings& settings);

// The conversions, exposed for the dialog and for tests.
bool TextToBool(const QString& text);
qint32 RefreshMinutes(const QString& text);
QString RefreshText(const QString& typed);
QString BoolText(bool value);
QString WithTrailingSlash(const QString& directory);

} // namespace SettingsKeys
