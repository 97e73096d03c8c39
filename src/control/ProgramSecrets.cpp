// The passwords: where each run finds them, and where a save puts them.
#include "control/ProgramParts.h"

#include "platform/SecretStore.h"
#include "settings/Secrets.h"
#include "settings/SettingsStore.h"
#include "system/RuntimeFormat.h"

#include <QStringList>

void ProgramController::setSecretStore(SecretStore* store)
{
    m_parts->secrets = store;
}

namespace {
// Set in the settings file once a save put passwords into the keyring: only then is it asked.
const QString kKeyringKey = QStringLiteral("Keyring");
} // namespace

// systemd's credentials come first: the service's owner put them there for it. Then the
// settings file, which holds a password until a save moves it (or when no keyring took it),
// then the keyring.
void ProgramController::loadSecrets(const SettingsStore& store)
{
    Parts& p = *m_parts;
    const bool inKeyring = store.get(kKeyringKey, QString()) == u"1";
    bool keyringAnswers = p.secrets != nullptr && inKeyring;
    for (const Secrets::Secret& secret : Secrets::Table()) {
        QString& value = p.settings.*secret.variable;
        if (const std::optional<QString> credential = ServiceCredential(secret.name)) {
            value = *credential;
            continue;
        }
        if (!value.isEmpty())
            continue;
        if (inKeyring && !p.secrets && !p.keyringFailureTold) {
            p.keyringFailureTold = true;
            p.history.EventMsg(QStringLiteral(
                "The passwords are in the desktop's keyring, which the service does not read: "
                "save the settings with Install as a service on to keep them in the settings "
                "file, or hand them to the service as credentials."));
        }
        if (!keyringAnswers)
            continue;
        const SecretStore::Found found = p.secrets->Read(secret.name);
        if (found.secret) {
            value = *found.secret;
        } else if (!found.failure.isEmpty()) {
            // One wait for a silent keyring is enough.
            keyringAnswers = false;
            if (!p.keyringFailureTold)
                p.history.EventMsg(QStringLiteral("The keyring did not answer (%1): passwords "
                                                  "kept there are not known until it does.")
                                       .arg(found.failure));
            p.keyringFailureTold = true;
        }
    }
}

// What the keyring took is saved empty in the file. Nothing is moved while the service is
// installed: it has no keyring and reads the passwords from the file.
SettingValues ProgramController::moveSecretsToKeyring(const SettingValues& typed,
                                                      SettingsStore& store, bool service)
{
    Parts& p = *m_parts;
    SettingValues toFile = typed;
    if (!p.secrets || service)
        return toFile;
    QStringList moved;
    for (const Secrets::Secret& secret : Secrets::Table()) {
        if (!typed.contains(secret.typed))
            continue;
        const QString value = TrimBlanks(typed.value(secret.typed).toString());
        if (const QString failure = p.secrets->Write(secret.name, value); !failure.isEmpty()) {
            p.history.EventMsg(
                QStringLiteral("No keyring took the passwords (%1); they stay in the settings "
                               "file %2, readable by you only.")
                    .arg(failure, store.fileName()));
            return typed;
        }
        if (!store.get(secret.group, secret.key, QString()).isEmpty())
            moved.append(secret.label);
        toFile.insert(secret.typed, QString());
    }
    store.save(kKeyringKey, QStringLiteral("1"));
    if (!moved.isEmpty())
        p.history.EventMsg(QStringLiteral("Moved %1 from the settings file to the keyring.")
                               .arg(moved.join(QStringLiteral(" and "))));
    return toFile;
}
