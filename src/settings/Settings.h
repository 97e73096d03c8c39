#pragma once

#include <QString>

class SettingsStore;

// The ten user settings as the program uses them, with the two values derived on load.
struct Settings
{
    QString sProxy;
    QString sUser;
    QString sPword;
    QString sHost;
    QString sTargetdir; // always ends in "/" after a load
    QString sTargetUrl; // "FTP://" followed by sHost
    qint32 lUpdateFrequency = 5;
    bool ProcessingEnabled = false;
    bool StartMinimized = false;
    bool Service = false;
    QString sAdapterIdentity;
};

// What the settings dialog holds when the user saves: its texts as typed and its check boxes.
struct SettingsInput
{
    QString txHost;
    QString txUser;
    QString txPword;
    QString txDir;
    QString txProxy;
    QString txRefresh;
    bool chkEnabled = false;
    bool chkMinimize = false;
    bool chkService = false;
    QString txIdentifier;
};

namespace SettingsKeys {

// Stands for the user's provider's FTP server until the real one is entered.
inline QString PlaceholderHost()
{
    return QStringLiteral("ftp.your-provider.example");
}

// Reads the ten keys with their defaults; the adapter default follows the platform id.
Settings Load(const SettingsStore& store, int platformId);

// Writes the ten keys from the dialog's values, each converted as the store keeps it.
void Save(SettingsStore& store, const SettingsInput& input);

// The conversions, exposed for the dialog and for tests.
bool TextToBool(const QString& text);
qint32 RefreshMinutes(const QString& text);
QString RefreshText(const QString& typed);
QString BoolText(bool value);
QString WithTrailingSlash(const QString& directory);

} // namespace SettingsKeys
