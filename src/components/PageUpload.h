#pragma once

#include "components/FtpConnection.h"

#include <QByteArray>

#include <optional>

struct InetRequest;

// Replaces one file on the server so that it is never seen half-written: the content is stored
// under a temporary name beside it, read back, and only then renamed onto the file's name, all
// on one connection. A server that cannot rename (500 or 502 to RNFR) gets the file stored
// under its name directly, and read back. A temporary file that was not renamed is removed,
// over a new connection when the old one was lost.
class PageUpload
{
public:
    PageUpload(FtpConnection& ftp, const InetRequest& request, const QByteArray& content);

    // Nothing when the file on the server now holds `content`. Only the first store is
    // reported to the connection's listener; the rest of the dialogue goes on quietly.
    std::optional<FtpFailure> run();

    // The name the file has on the server while it is being stored.
    static QByteArray temporaryName(const QByteArray& path);

private:
    std::optional<FtpFailure> store(const QByteArray& path);
    std::optional<FtpFailure> readBack(const QByteArray& path);
    std::optional<FtpFailure> rename(const QByteArray& temporary);
    void remove(const QByteArray& temporary);

    FtpConnection& m_ftp;
    const InetRequest& m_request;
    const QByteArray& m_content;
    const QByteArray m_path;
    bool m_storedDirectly = false;
};
