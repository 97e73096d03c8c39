#include "platform/SecretStore.h"

#include "platform/RegularFile.h"

#include <QFile>

std::optional<QString> ServiceCredential(const QString& name)
{
    const QString directory = qEnvironmentVariable("CREDENTIALS_DIRECTORY");
    if (directory.isEmpty() || name.contains(QLatin1Char('/')))
        return std::nullopt;
    QFile file(directory + QLatin1Char('/') + name);
    if (!OpenRegularFile(file, QIODevice::ReadOnly))
        return std::nullopt;
    // A secret has no line breaks: the one a file written with echo ends in is not part of it.
    QByteArray secret = file.read(64 * 1024);
    while (secret.endsWith('\n') || secret.endsWith('\r'))
        secret.chop(1);
    return QString::fromUtf8(secret);
}
