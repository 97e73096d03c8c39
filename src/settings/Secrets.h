#pragma once

#include "settings/Settings.h"

#include <QString>

#include <array>

// The passwords among the settings. The desktop keeps them in its keyring where one answers,
// the service may take them from systemd's credentials, and the owner-only settings file holds
// them otherwise (and as it always did, until the first save moves them).
namespace Secrets {

struct Secret
{
    QString group; // the settings file's section and key
    QString key;
    QString typed; // the key of the typed values ("Pword", "Dns/TsigSecret")
    QString name;  // the keyring's and the credentials' name
    QString label; // how messages name it
    QString Settings::*variable;
};

const std::array<Secret, 3>& Table();

} // namespace Secrets
