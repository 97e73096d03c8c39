#include "components/SftpLogin.h"

#include "components/InetRequest.h"
#include "components/SshAgentProbe.h"

#include <QUrl>

#include <curl/curl.h>

namespace {

// A local agent answers in milliseconds; one that takes longer is not waited for.
constexpr std::chrono::seconds kAgentAnswerLimit(2);

} // namespace

QList<long> SftpLogin::attempts(const InetRequest& request)
{
    QList<long> attempts;
    long last = request.password.isEmpty() ? 0 : CURLSSH_AUTH_PASSWORD;
    if (!request.sshAgentSocket.isEmpty() &&
        SshAgentOffersKeys(request.sshAgentSocket, kAgentAnswerLimit))
        attempts.append(CURLSSH_AUTH_AGENT);
    else if (!request.privateKey.isEmpty())
        last |= CURLSSH_AUTH_PUBLICKEY;
    if (last != 0 || attempts.isEmpty())
        attempts.append(last != 0 ? last : CURLSSH_AUTH_PASSWORD);
    return attempts;
}

void SftpLogin::apply(CURL* curl, const InetRequest& request, long methods)
{
    const QUrl server(request.server);
    m_host = server.host();
    m_port = server.port(22);
    m_knownHosts = request.knownHosts;
    m_refusedKey.reset();
    m_verdict = SftpHostKeyCheck::Known;

    curl_easy_setopt(curl, CURLOPT_SSH_HOSTKEYFUNCTION, &SftpLogin::hostKeyOffered);
    curl_easy_setopt(curl, CURLOPT_SSH_HOSTKEYDATA, this);
    curl_easy_setopt(curl, CURLOPT_SSH_AUTH_TYPES, methods);
    if (methods & CURLSSH_AUTH_PUBLICKEY)
        curl_easy_setopt(curl, CURLOPT_SSH_PRIVATE_KEYFILE,
                         request.privateKey.toUtf8().constData());
    // An empty name lets libssh2 derive the public key from the private one.
    curl_easy_setopt(curl, CURLOPT_SSH_PUBLIC_KEYFILE, "");
}

int SftpLogin::hostKeyOffered(void* clientp, int, const char* key, size_t length)
{
    auto* self = static_cast<SftpLogin*>(clientp);
    const SftpHostKey offered{self->m_host, self->m_port,
                              QByteArray(key, static_cast<qsizetype>(length))};
    self->m_verdict = SftpHostKeyCheck::check(offered, self->m_knownHosts);
    if (self->m_verdict == SftpHostKeyCheck::Known)
        return CURLKHMATCH_OK;
    self->m_refusedKey = offered;
    return CURLKHMATCH_MISMATCH;
}

QString SftpLogin::refusal() const
{
    if (!m_refusedKey)
        return {};
    const SftpHostKey& key = *m_refusedKey;
    const QString server = QStringLiteral("the SFTP server ") + key.host +
                           QStringLiteral(" port ") + QString::number(key.port);
    const QString offered = key.type() + QLatin1Char(' ') + key.fingerprint();
    const QString programKnownHosts = m_knownHosts.isEmpty() ? QString() : m_knownHosts.last();
    if (m_verdict == SftpHostKeyCheck::Revoked)
        return QStringLiteral("REVOKED HOST KEY DETECTED: ") + server + QStringLiteral(" offers ") +
               offered +
               QStringLiteral(", which a known_hosts file marks @revoked; nothing was sent");
    if (keyChanged())
        return QStringLiteral("WARNING: the host key of ") + server +
               QStringLiteral(" has CHANGED: it now offers ") + offered +
               QStringLiteral(", not the key in known_hosts. Someone may be intercepting the "
                              "connection; nothing was sent. If the server's key was replaced, "
                              "remove the old one (ssh-keygen -R '") +
               key.knownHostsName() + QStringLiteral("' -f FILE) and trust the new one");
    return QStringLiteral("The host key of ") + server + QStringLiteral(" is not known: ") +
           offered +
           QStringLiteral("; nothing was sent. If it is the server's key, trust it with: "
                          "ssh-keyscan -p ") +
           QString::number(key.port) + QLatin1Char(' ') + key.host + QStringLiteral(" >> ") +
           programKnownHosts;
}
