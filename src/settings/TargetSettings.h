#pragma once

#include "settings/Settings.h"

#include <QString>

#include <array>
#include <variant>

class SettingsStore;

// The publish targets beside the page, each in a section of its own:
//   [Settings] PublishPage  1, or 0 for no page (no FTP at all)
//   [Dns]      Server Zone Name Ttl TsigName TsigAlgorithm TsigSecret   (RFC 2136 with TSIG)
//   [DynDns]   Url User Password Name                                    (the dyndns2 protocol)
//   [Hook]     Command                                                   (run after a change)
// Values typed for them are keyed "Section/Key", as "Dns/Server".
namespace TargetSettings {

struct Key
{
    QString group;
    QString key;
    QString fallback;
    std::variant<QString Settings::*, qint32 Settings::*, bool Settings::*> variable;
};

const std::array<Key, 13>& Table();

// Reads the targets' keys into `settings`.
void Load(const SettingsStore& store, Settings& settings);
// Writes them from the typed values and replaces the file; false when it could not be written.
bool Save(SettingsStore& store, const SettingValues& typed);
SettingValues Shown(const Settings& settings);

inline constexpr qint32 kDefaultTtl = 60;

} // namespace TargetSettings
