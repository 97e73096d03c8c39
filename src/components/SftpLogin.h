#pragma once

#include "components/SftpHostKey.h"

#include <QList>
#include <QString>
#include <QTemporaryFile>

#include <memory>
#include <optional>

typedef void CURL;
struct InetRequest;

// The SSH side of a connection: the server's host key is checked against the known_hosts files
// before any key or password is offered; then the keys are offered before the password.
class SftpLogin
{
public:
    // The login attempts in order, each a set of curl's CURLSSH_AUTH_* methods: the agent (when
    // SSH_AUTH_SOCK is set and the agent answers for its keys in time) alone, then the password;
    // or the user's key file, then the password (curl offers a key file before the password
    // within one attempt).
    static QList<long> attempts(const InetRequest& request);

    // Sets the handle's SSH options for one attempt and forgets what the last one learnt.
    // `connecting`: no connection is open yet, so the known_hosts files are read afresh.
    void apply(CURL* curl, const InetRequest& request, long methods, bool connecting);

    // The key the server offered when it was refused, and why.
    const std::optional<SftpHostKey>& refusedKey() const { return m_refusedKey; }
    bool keyChanged() const { return m_verdict == SftpHostKeyCheck::Changed; }
    // Refused because no known_hosts file knows it: the one case a person may trust it.
    bool keyUnknown() const { return m_verdict == SftpHostKeyCheck::Unknown; }
    // After a changed key: the fingerprint of the key known_hosts holds instead.
    QString knownFingerprint() const { return m_knownFingerprint; }
    // What a person is told about the refused key: the host, its fingerprint and what to do.
    QString refusal() const;
    // After a refused login: why the key file could not have worked, when that can be told
    // (it is protected by a passphrase, which nobody is there to type); else empty.
    QString loginHint() const;

private:
    static int hostKeyOffered(void* clientp, int keytype, const char* key, size_t length);

    QString m_host;
    int m_port = 22;
    QStringList m_knownHosts;
    QString m_keyOffered;
    std::unique_ptr<QTemporaryFile> m_preferredKeys; // the host's known keys, for curl
    std::optional<SftpHostKey> m_refusedKey;
    QString m_knownFingerprint;
    SftpHostKeyCheck::Verdict m_verdict = SftpHostKeyCheck::Known;
};
