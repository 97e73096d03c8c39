#pragma once

#include <QString>

#include <chrono>
#include <memory>
#include <optional>

// Where passwords live outside the settings file: the desktop's keyring. Every call returns
// within its bound, whether the store answered or not.
class SecretStore
{
public:
    struct Found
    {
        std::optional<QString> secret; // nothing when none is stored under the name
        QString failure;               // why the store did not answer; empty when it did
    };

    virtual ~SecretStore() = default;
    virtual Found Read(const QString& name) = 0;
    // Stores the secret under the name, or removes what is stored for an empty one; empty
    // when done, else why not.
    virtual QString Write(const QString& name, const QString& secret) = 0;

    // The Secret Service of the desktop session (gnome-keyring, KWallet ...) over D-Bus. It is
    // built into its own library, which only the desktop program links.
    static std::unique_ptr<SecretStore> DesktopKeyring(std::chrono::milliseconds bound);
};

// The credential `name` that systemd hands the service ($CREDENTIALS_DIRECTORY/<name>, from
// the unit's LoadCredential=); nothing outside such a service or when it has none by the name.
std::optional<QString> ServiceCredential(const QString& name);
