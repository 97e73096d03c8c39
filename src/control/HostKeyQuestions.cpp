#include "control/HostKeyQuestions.h"

#include "components/Inet.h"
#include "engine/ErrorReporter.h"
#include "system/AppIdentity.h"
#include "system/Prompt.h"

namespace {

QString server(const SftpHostKey& key)
{
    return QStringLiteral("The SFTP server %1 port %2").arg(key.host).arg(key.port);
}

} // namespace

void HostKeyQuestions::CheckFinished(const FileTransfer& ftp, bool serviceMode,
                                     const std::function<void()>& publishAgain)
{
    if (const std::optional<SftpHostKey>& changed = ftp.ChangedHostKey();
        changed && !m_warned.contains(changed->blob)) {
        m_warned.insert(changed->blob);
        m_errors.LogError(
            QStringLiteral("WARNING: HOST KEY CHANGED. %1 now offers the key\n%2\n%3\n"
                           "while known_hosts holds\n%4\nfor it. Someone may be intercepting "
                           "the connection, and nothing is published to it. If the server's key "
                           "was replaced, remove the old one from the known_hosts file that holds "
                           "it (ssh-keygen -R '%5' -f FILE); the next check then offers the new "
                           "one to be trusted.")
                .arg(server(*changed), changed->type(), changed->fingerprint(),
                     ftp.KnownFingerprint(), changed->knownHostsName()));
    }
    const std::optional<SftpHostKey>& unknown = ftp.UnknownHostKey();
    if (serviceMode || !unknown || m_asked.contains(unknown->blob))
        return;
    m_asked.insert(unknown->blob);
    const SftpHostKey key = *unknown;
    m_prompt.Ask(AppIdentity::Title(),
                 QStringLiteral("%1 offers a host key that no known_hosts file holds:\n%2\n%3\n"
                                "Trust it only if it is your server's key: compare the "
                                "fingerprint with the one your provider gives. Trust this key "
                                "and publish now?")
                     .arg(server(key), key.type(), key.fingerprint()),
                 [this, key, publishAgain](Prompt::Answer answer) {
                     if (answer != Prompt::Answer::Ok)
                         return;
                     QString error;
                     if (Inet::TrustHostKey(key, &error))
                         publishAgain();
                     else
                         m_errors.LogError(error);
                 });
}
