#include "components/PageUpload.h"

namespace {

// Enough for a server on the far side of a slow link to delete one file while the program ends.
constexpr int kCleanUpGraceSeconds = 3;

TransferFailure mismatch(const QString& detail)
{
    return {PageUpload::kMismatch,
            QStringLiteral("The page on the server does not match the page uploaded: ") + detail};
}

} // namespace

PageUpload::PageUpload(RemoteConnection& connection, RemoteFiles& files, const QByteArray& path,
                       const QByteArray& content)
    : m_connection(connection), m_files(files), m_path(path), m_content(content)
{
}

QByteArray PageUpload::temporaryName(const QByteArray& path)
{
    return path + ".part";
}

std::optional<TransferFailure> PageUpload::run()
{
    const QByteArray temporary = temporaryName(m_path);
    const RemoteFiles::Stored stored = m_files.store(temporary, m_content);
    m_connection.setListener(nullptr);
    std::optional<TransferFailure> failure = stored.failure;
    if (!failure)
        failure = readBack(temporary, stored.whole);
    if (!failure)
        failure = replace(temporary);
    if (stored.begun && (failure || m_storedDirectly))
        remove(temporary);
    return failure;
}

std::optional<TransferFailure> PageUpload::readBack(const QByteArray& path, bool confirmedWhole)
{
    const RemoteFiles::Size size = m_files.size(path);
    if (size.failure)
        return size.failure;
    if (size.bytes) {
        if (*size.bytes == m_content.size())
            return std::nullopt;
        return mismatch(QString::number(*size.bytes) + QStringLiteral(" bytes on the server, ") +
                        QString::number(m_content.size()) + QStringLiteral(" uploaded"));
    }

    // No size from this server: compare the content itself.
    QByteArray onServer;
    if (auto failure = m_files.fetch(path, m_content.size(), onServer)) {
        // An account that may store but not read: the server's word for the transfer stands.
        if (failure->refused && confirmedWhole)
            return std::nullopt;
        return failure;
    }
    if (onServer != m_content)
        return mismatch(QStringLiteral("its content differs"));
    return std::nullopt;
}

std::optional<TransferFailure> PageUpload::replace(const QByteArray& temporary)
{
    std::optional<TransferFailure> refusal = m_files.rename(temporary, m_path);
    if (!refusal || !refusal->refused)
        return refusal;
    // An account (or a server) that cannot rename: the page is stored under its name.
    m_storedDirectly = true;
    const RemoteFiles::Stored stored = m_files.store(m_path, m_content);
    if (stored.failure)
        return stored.failure;
    return readBack(m_path, stored.whole);
}

void PageUpload::remove(const QByteArray& temporary)
{
    m_connection.setGraceSeconds(kCleanUpGraceSeconds);
    m_files.remove(temporary);
    m_connection.setGraceSeconds(0);
}
