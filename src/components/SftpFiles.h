#pragma once

#include "components/RemoteFiles.h"

// The file commands over SFTP: curl's "rm" and "rename" quote commands, an upload, and the
// size from a stat of the file. A relative path is below the login directory.
class SftpFiles : public RemoteFiles
{
public:
    using RemoteFiles::RemoteFiles;

    std::optional<TransferFailure> remove(const QByteArray& path) override;
    Size size(const QByteArray& path) override;
    // OpenSSH's server does not rename onto an existing file: that counts as refused.
    std::optional<TransferFailure> rename(const QByteArray& from, const QByteArray& to) override;

private:
    bool storeBegun() const override { return false; }
    std::optional<TransferFailure> quote(const QByteArray& command);
};
