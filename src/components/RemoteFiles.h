#pragma once

#include "components/RemoteConnection.h"

#include <QByteArray>

#include <memory>
#include <optional>

struct InetRequest;

// The file commands a page upload needs, as one protocol says them on one connection. A
// failure's `refused` is set when the server said it will not (permissions, a command it does
// not have), so the upload can take another way.
class RemoteFiles
{
public:
    struct Stored
    {
        std::optional<TransferFailure> failure;
        bool begun = false; // the server may hold (part of) the file now
        bool whole = false; // every byte went out and the server confirmed the transfer
    };
    struct Size
    {
        std::optional<TransferFailure> failure;
        std::optional<qint64> bytes; // nothing when the server does not tell sizes
    };

    RemoteFiles(RemoteConnection& connection, const InetRequest& request)
        : m_connection(connection), m_request(request)
    {
    }
    virtual ~RemoteFiles() = default;
    // The commands of the request's protocol.
    static std::unique_ptr<RemoteFiles> of(RemoteConnection& connection,
                                           const InetRequest& request);

    virtual std::optional<TransferFailure> remove(const QByteArray& path) = 0;
    Stored store(const QByteArray& path, const QByteArray& content);
    virtual Size size(const QByteArray& path) = 0;
    // Fetches at most `limit` bytes into `content`, and one more when the file is longer.
    std::optional<TransferFailure> fetch(const QByteArray& path, qsizetype limit,
                                         QByteArray& content);
    // Renames `from` onto `to`, replacing it.
    virtual std::optional<TransferFailure> rename(const QByteArray& from, const QByteArray& to) = 0;

protected:
    // After a store that failed: whether the server may have created the file.
    virtual bool storeBegun() const = 0;

    RemoteConnection& m_connection;
    const InetRequest& m_request;
};
