#pragma once

#include "components/RemoteFiles.h"

// The file commands over FTP: DELE, STOR, SIZE, RETR, and RNFR followed by RNTO.
class FtpFiles : public RemoteFiles
{
public:
    using RemoteFiles::RemoteFiles;

    std::optional<TransferFailure> remove(const QByteArray& path) override;
    Size size(const QByteArray& path) override;
    std::optional<TransferFailure> rename(const QByteArray& from, const QByteArray& to) override;

private:
    bool storeBegun() const override;
    // Sends one command that the server may refuse; the failure of the connection, if any.
    std::optional<TransferFailure> send(const QByteArray& line);
    // Sends one command; nothing when the reply is one of `accepted`.
    std::optional<TransferFailure> command(const QByteArray& line, QList<int> accepted);
};
