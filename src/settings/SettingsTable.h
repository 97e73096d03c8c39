#pragma once

#include "settings/Settings.h"

#include <QString>

#include <array>
#include <variant>

namespace SettingsKeys {

// How a key's stored text becomes its variable, and the value typed for it the text again.
enum class Conversion
{
    Text,      // as stored; saved trimmed
    Directory, // as Text, and a load makes it end in "/"
    Minutes,   // a decimal number; saved with at least two digits, not trimmed
    Switch     // a check box; saved as "001" or "000"
};

struct Key
{
    QString read;
    QString write; // the store matches keys without regard to case: both name one value
    QString (*fallback)(int platformId);
    Conversion conversion;
    std::variant<QString Settings::*, qint32 Settings::*, bool Settings::*> variable;
};

// The ten keys, in the order in which loading and saving process them.
const std::array<Key, 10>& Table();

} // namespace SettingsKeys
