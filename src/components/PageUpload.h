#pragma once

#include "components/RemoteConnection.h"
#include "components/RemoteFiles.h"

#include <QByteArray>

#include <optional>

// Replaces one file on the server so that it is never seen half-written: the content is stored
// under a temporary name beside it, read back, and only then renamed onto the file's name, all
// on one connection. An account that may not rename gets the file stored under its name
// directly; one that may not read back (neither size nor content) has the transfer accepted
// when every byte went out and the server confirmed it. A temporary file that was not renamed
// is removed, over a new connection when the old one was lost.
class PageUpload
{
public:
    // ResponseCode of an upload whose file, read back from the server, is not what was sent.
    static constexpr qint32 kMismatch = 35761;

    PageUpload(RemoteConnection& connection, RemoteFiles& files, const QByteArray& path,
               const QByteArray& content);

    // Nothing when the file on the server now holds `content`. Only the first store is
    // reported to the connection's listener; the rest of the dialogue goes on quietly.
    std::optional<TransferFailure> run();

    // The name the file has on the server while it is being stored.
    static QByteArray temporaryName(const QByteArray& path);

private:
    std::optional<TransferFailure> readBack(const QByteArray& path, bool confirmedWhole);
    std::optional<TransferFailure> replace(const QByteArray& temporary);
    void remove(const QByteArray& temporary);

    RemoteConnection& m_connection;
    RemoteFiles& m_files;
    const QByteArray m_path;
    const QByteArray& m_content;
    bool m_storedDirectly = false;
};
