#pragma once

#include "components/RemoteFiles.h"

// The file commands over FTP: DELE, STOR, SIZE, RETR, and RNFR followed by RNTO.
class FtpFiles : public RemoteFiles
{
public:
    using RemoteFiles::RemoteFiles;

    std::optional<FtpFailure> remove(const QByteArray& path) override;
    Size size(const QByteArray& path) override;
    std::optional<FtpFailure> rename(const QByteArray& from, const QByteArray& to) override;

private:
    bool storeBegun() const override;
    // Sends one command that the server may refuse; the failure of the connection, if any.
    std::optional<FtpFailure> send(const QByteArray& line);
    // Sends one command; nothing when the reply is one of `accepted`.
    std::optional<FtpFailure> command(const QByteArray& line, QList<int> accepted);
};
