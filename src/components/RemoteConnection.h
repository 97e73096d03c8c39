#pragma once

#include "components/SftpLogin.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QPair>
#include <QString>

#include <atomic>
#include <optional>

typedef void CURL;
struct curl_slist;
struct InetRequest;

// One exchange with the server on the open connection (or a new one when none is open): the
// raw commands are sent as they are after the login, each reply is kept; then, when `path` is
// given, the file at that path is stored from `upload` or fetched into `download`.
struct RemoteExchange
{
    QList<QByteArray> commands; // a leading "*" lets the exchange go on after a refusal
    QByteArray path;
    const QByteArray* upload = nullptr;
    QByteArray* download = nullptr;
    // A download is cut short at this length: nothing longer is wanted.
    qsizetype downloadLimit = 0;
};

// Why an exchange failed: the server's reply code and text, or curl's code and words.
struct TransferFailure
{
    qint32 code = 0;
    QString info;
    // The server answered that it will not do this (a permanent refusal), as opposed to a
    // failure of the connection or the transfer.
    bool refused = false;
};

// What a connection tells the one who reports its progress.
class ConnectionListener
{
public:
    virtual void socketOpening() = 0; // for a new control connection or for data
    virtual void requesting() = 0;    // logged in; the exchange's commands follow
    virtual void sent(const QByteArray& line) = 0;
    virtual void received(const QByteArray& line) = 0;

protected:
    ~ConnectionListener() = default;
};

// The libcurl handle behind the component: one control connection (FTP, or SSH for SFTP) kept
// open from one exchange to the next until it is closed, with the security, login and proxy
// the request names. For SFTP the exchange's commands are curl's SFTP quote commands.
class RemoteConnection
{
public:
    explicit RemoteConnection(const std::atomic_bool& abort) : m_abort(abort) {}
    ~RemoteConnection();
    RemoteConnection(const RemoteConnection&) = delete;
    RemoteConnection& operator=(const RemoteConnection&) = delete;

    // Progress goes to `listener` until another one (or none) is set.
    void setListener(ConnectionListener* listener) { m_listener = listener; }
    // When the component is ending, a last clean-up still gets `seconds` to finish.
    void setGraceSeconds(int seconds) { m_graceSeconds = seconds; }

    // 0 (CURLE_OK) when the exchange went through; the replies are then in replyTo.
    int perform(const InetRequest& request, const RemoteExchange& exchange);
    // The server's reply to the last command of the last exchange that starts with `command`:
    // empty when no reply came, nothing when no such command was sent.
    std::optional<QByteArray> replyTo(const QByteArray& command) const;
    // Nothing when `result` is success; else the server's refusal when it gave one, or
    // curl's own words with the detail it gave.
    std::optional<TransferFailure> failure(int result) const;
    // The last exchange's upload got as far as its first byte: the server opened the file.
    bool uploadBegun() const { return m_readStarted; }
    // The last exchange's upload went to the server to its last byte.
    bool uploadedWhole() const { return m_upload && m_uploaded == m_upload->size(); }
    // The last exchange's download was longer than its limit.
    bool downloadCutShort() const { return m_downloadCut; }
    // The size of the file the last exchange named, when the server gave it.
    std::optional<qint64> remoteSize() const;
    // The SSH side of the last exchange: which host key it refused, and why.
    const SftpLogin& ssh() const { return m_ssh; }

    bool isOpen() const { return m_open; }
    // Sends QUIT on a connection that is still open, then lets it go.
    void close();

private:
    bool aborting() const { return m_abort.load() && m_graceSeconds == 0; }
    int performOnce(const InetRequest& request, const RemoteExchange& exchange, long sshMethods);
    bool prepareHandle();
    void setConnection(const InetRequest& request, long timeout);
    void setCallbacks();
    void setSecurity(const InetRequest& request, long sshMethods);
    void setTransfer(const RemoteExchange& exchange, curl_slist* quote);
    QByteArray url(const InetRequest& request, const QByteArray& path) const;

    friend struct ConnectionCallbacks;

    const std::atomic_bool& m_abort;
    CURL* m_curl = nullptr;
    ConnectionListener* m_listener = nullptr;
    bool m_open = false;
    int m_graceSeconds = 0;
    // Each wait for the server (a connect, a reply, a stalled transfer) may take this long.
    qint64 m_waitLimitMs = 0;
    QElapsedTimer m_sinceActivity;
    qint64 m_bytesMoved = 0;
    bool m_waitedTooLong = false;
    const QByteArray* m_upload = nullptr;
    qsizetype m_uploaded = 0;
    bool m_readStarted = false;
    QByteArray* m_download = nullptr;
    qsizetype m_downloadLimit = 0;
    bool m_downloadCut = false;
    QList<QPair<QByteArray, QByteArray>> m_dialogue; // each command sent with its reply
    QByteArray m_lastReply;
    char m_errorText[256] = {};
    SftpLogin m_ssh;
    long m_sshMethods = 0; // of the attempt that logged in
};
