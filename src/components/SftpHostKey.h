#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// A server's SSH host key as it offered it: the key blob of the SSH wire format.
struct SftpHostKey
{
    QString host; // a name or an address, IPv6 without brackets
    int port = 22;
    QByteArray blob;

    // "ssh-ed25519", "ecdsa-sha2-nistp256", "ssh-rsa", ...; empty for a malformed blob.
    QString type() const;
    // "SHA256:" and the unpadded base64 of the blob's SHA-256, as ssh shows it.
    QString fingerprint() const { return fingerprintOf(blob); }
    static QString fingerprintOf(const QByteArray& blob);
    // The host as known_hosts names it: "host" on port 22, else "[host]:port".
    QString knownHostsName() const;
    // One known_hosts line (with its line feed) that trusts this key for this host.
    QByteArray knownHostsLine() const;
};

// Whether `key` may be trusted, from the known_hosts files `files` (OpenSSH's format, hashed
// names and @revoked markers included). Files that are missing, not regular files or unreadable
// count as empty.
class SftpHostKeyCheck
{
public:
    enum Verdict
    {
        Known,
        Unknown, // no file knows a key of this type for this host
        Changed, // a file holds another key of this type for this host
        Revoked  // a file marks this very key @revoked, whatever else knows it
    };

    // With a Changed verdict, `knownFingerprint` gets the fingerprint of the key on file.
    static Verdict check(const SftpHostKey& key, const QStringList& files,
                         QString* knownFingerprint = nullptr);
    // The keys `files` hold for `host` as plain known_hosts lines, hashed names included, the
    // type OpenSSH prefers first: what the connection should ask the server for.
    static QByteArray knownKeysFor(const QString& host, int port, const QStringList& files);
    // Appends `key` to the known_hosts file `file`, made if missing (owner only); false, with
    // the reason in `error`, when it cannot be written.
    static bool record(const SftpHostKey& key, const QString& file, QString* error);
};
