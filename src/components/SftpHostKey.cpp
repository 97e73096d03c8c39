#include "components/SftpHostKey.h"

#include "platform/RegularFile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QtEndian>

#include <libssh2.h>

#include <memory>
#include <vector>

namespace {

// The key types known_hosts may name, in the order OpenSSH prefers them.
const struct
{
    const char* name;
    int mask;
} kKeyTypes[] = {
    {"ssh-ed25519", LIBSSH2_KNOWNHOST_KEY_ED25519},
    {"ecdsa-sha2-nistp256", LIBSSH2_KNOWNHOST_KEY_ECDSA_256},
    {"ecdsa-sha2-nistp384", LIBSSH2_KNOWNHOST_KEY_ECDSA_384},
    {"ecdsa-sha2-nistp521", LIBSSH2_KNOWNHOST_KEY_ECDSA_521},
    {"ssh-rsa", LIBSSH2_KNOWNHOST_KEY_SSHRSA},
    {"ssh-dss", LIBSSH2_KNOWNHOST_KEY_SSHDSS},
};

int libssh2KeyType(const QString& type)
{
    for (const auto& known : kKeyTypes) {
        if (type == QLatin1String(known.name))
            return known.mask;
    }
    return LIBSSH2_KNOWNHOST_KEY_UNKNOWN;
}

struct SessionFree
{
    void operator()(LIBSSH2_SESSION* session) const { libssh2_session_free(session); }
};
struct KnownHostsFree
{
    void operator()(LIBSSH2_KNOWNHOSTS* hosts) const { libssh2_knownhost_free(hosts); }
};

// The contents of a known_hosts file; empty when it is missing, not a regular file or
// unreadable.
QByteArray readFile(const QString& file)
{
    QFile known(file);
    return OpenRegularFile(known, QIODevice::ReadOnly) ? known.readAll() : QByteArray();
}

// The lines go in one by one, so a line libssh2 does not take (a certificate authority, a key
// type it lacks) costs only that line.
void readKnownHosts(LIBSSH2_KNOWNHOSTS* hosts, const QByteArray& contents)
{
    for (const QByteArray& line : contents.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (!trimmed.isEmpty() && !trimmed.startsWith('#'))
            libssh2_knownhost_readline(hosts, trimmed.constData(),
                                       static_cast<size_t>(trimmed.size()),
                                       LIBSSH2_KNOWNHOST_FILE_OPENSSH);
    }
}

// The known_hosts files, each read once, and as libssh2 reads them, one store a file.
class KnownHostsFiles
{
public:
    explicit KnownHostsFiles(const QStringList& files)
        // libssh2 wants a session only to allocate with; this one never connects.
        : m_session(libssh2_session_init())
    {
        for (const QString& file : files) {
            m_contents.append(readFile(file));
            if (!m_session)
                continue;
            m_stores.emplace_back(libssh2_knownhost_init(m_session.get()));
            if (m_stores.back())
                readKnownHosts(m_stores.back().get(), m_contents.last());
        }
    }

    // Whether a "@revoked" line holds `blob`, for any host: a key known to be stolen is
    // refused wherever it turns up. libssh2 skips such lines, which would leave a plain line
    // for the same key in force.
    bool revoked(const QByteArray& blob) const
    {
        for (const QByteArray& contents : m_contents) {
            for (const QByteArray& line : contents.split('\n')) {
                const QList<QByteArray> fields = line.simplified().split(' ');
                if (fields.size() >= 4 && fields[0] == "@revoked" &&
                    QByteArray::fromBase64(fields[3]) == blob)
                    return true;
            }
        }
        return false;
    }

    // libssh2's verdict on `key` of the libssh2 type `type` for `host` in each file in turn;
    // `known`, on a mismatch, the entry on file.
    template <typename Verdict>
    void lookup(const QString& host, int port, const QByteArray& key, int type, Verdict verdict)
    {
        for (const auto& store : m_stores) {
            libssh2_knownhost* known = nullptr;
            const int found =
                store ? libssh2_knownhost_checkp(store.get(), host.toUtf8().constData(), port,
                                                 key.constData(), static_cast<size_t>(key.size()),
                                                 LIBSSH2_KNOWNHOST_TYPE_PLAIN |
                                                     LIBSSH2_KNOWNHOST_KEYENC_RAW | type,
                                                 &known)
                      : LIBSSH2_KNOWNHOST_CHECK_FAILURE;
            if (!verdict(found, known))
                return;
        }
    }

private:
    std::unique_ptr<LIBSSH2_SESSION, SessionFree> m_session;
    QList<QByteArray> m_contents;
    std::vector<std::unique_ptr<LIBSSH2_KNOWNHOSTS, KnownHostsFree>> m_stores;
};

} // namespace

QString SftpHostKey::type() const
{
    if (blob.size() < 4)
        return {};
    const quint32 length = qFromBigEndian<quint32>(blob.constData());
    if (length > static_cast<quint32>(blob.size() - 4))
        return {};
    return QString::fromLatin1(blob.mid(4, static_cast<qsizetype>(length)));
}

QString SftpHostKey::fingerprintOf(const QByteArray& blob)
{
    const QByteArray digest = QCryptographicHash::hash(blob, QCryptographicHash::Sha256);
    return QStringLiteral("SHA256:") +
           QString::fromLatin1(digest.toBase64(QByteArray::OmitTrailingEquals));
}

QString SftpHostKey::knownHostsName() const
{
    if (port == 22)
        return host;
    return QLatin1Char('[') + host + QStringLiteral("]:") + QString::number(port);
}

QByteArray SftpHostKey::knownHostsLine() const
{
    return knownHostsName().toUtf8() + ' ' + type().toLatin1() + ' ' + blob.toBase64() + '\n';
}

SftpHostKeyCheck::Verdict SftpHostKeyCheck::check(const SftpHostKey& key, const QStringList& files,
                                                  QString* knownFingerprint)
{
    KnownHostsFiles known(files);
    if (known.revoked(key.blob))
        return Revoked;
    const int type = libssh2KeyType(key.type());
    if (type == LIBSSH2_KNOWNHOST_KEY_UNKNOWN)
        return Unknown;
    Verdict verdict = Unknown;
    known.lookup(
        key.host, key.port, key.blob, type, [&](int found, const libssh2_knownhost* entry) {
            if (found == LIBSSH2_KNOWNHOST_CHECK_MATCH) {
                verdict = Known;
                return false;
            }
            if (found == LIBSSH2_KNOWNHOST_CHECK_MISMATCH) {
                verdict = Changed;
                if (knownFingerprint && entry && entry->key)
                    *knownFingerprint =
                        SftpHostKey::fingerprintOf(QByteArray::fromBase64(QByteArray(entry->key)));
            }
            return true;
        });
    return verdict;
}

QByteArray SftpHostKeyCheck::knownKeysFor(const QString& host, int port, const QStringList& files)
{
    const QByteArray name = SftpHostKey{host, port, {}}.knownHostsName().toUtf8();
    KnownHostsFiles known(files);
    QByteArray lines;
    // A key that cannot be on file: every entry of the type for the host differs from it.
    const QByteArray none(1, '\0');
    for (const auto& type : kKeyTypes) {
        known.lookup(host, port, none, type.mask, [&](int found, const libssh2_knownhost* entry) {
            if (found == LIBSSH2_KNOWNHOST_CHECK_MISMATCH && entry && entry->key)
                lines += name + ' ' + type.name + ' ' + entry->key + '\n';
            return true;
        });
    }
    return lines;
}

bool SftpHostKeyCheck::record(const SftpHostKey& key, const QString& file, QString* error)
{
    const QString failure = AppendToRegularFile(file, key.knownHostsLine(), 0600);
    if (!failure.isEmpty() && error)
        *error =
            QStringLiteral("Cannot add the host key to ") + file + QStringLiteral(": ") + failure;
    return failure.isEmpty();
}
