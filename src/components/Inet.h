#pragma once

#include "components/FileTransfer.h"

#include <QThread>
#include <QTimer>

#include <atomic>
#include <memory>
#include <optional>

class InetWorker;
struct InetRequest;

// The Internet transfer component as the program drives it: FTP over libcurl.
//
// Set the properties, then Execute one operation at a time; Execute returns at once and the
// transfer runs on a worker thread with its own curl handle. Progress arrives as StateChanged
// on the thread that owns this object; ExecutionEnded follows the operation's last state, and
// from then on StillExecuting is false.
//
// Operations: "DELETE path", "PUT local remote" (local relative to the current directory),
// "CLOSE" (QUIT on the open connection, then close it) and "QUIT" (ends the exchange; nothing
// is sent when no connection is open). One connection serves the commands until CLOSE.
//
// States: an operation that opens the connection reports 1 to 8 then 12; one on an open
// connection 5 to 8 then 12; CLOSE 9 and 10; a failure 11, with ResponseCode the FTP reply
// code (or curl's error code when no reply came) and ResponseInfo its text, control characters
// escaped. The password never appears in ResponseInfo. A URL, login, password, path or proxy
// holding a control character or too long for a command line fails with 11 before anything
// reaches the server. The component makes the process non-dumpable: it holds the password.
//
// A PUT stores the file under a temporary name, reads it back and renames it onto its name
// (see PageUpload), so the server never holds half a page; a page it cannot confirm fails with
// ResponseCode PageUpload::kMismatch. Dot segments of the path are resolved first. Over TLS the
// server's certificate is checked against the system's store and, when the current directory
// holds one as a regular file, the authorities in "ftp-ca.pem".
//
// Over SFTP ("sftp://host") the server's host key must be in ~/.ssh/known_hosts or in
// "known_hosts" in the current directory before any key or password is offered; the login
// offers the ssh agent's keys (or ~/.ssh/id_ed25519, else id_rsa), then the password.
class Inet final : public FileTransfer
{
    Q_OBJECT
public:
    static constexpr qint32 kStillExecuting = 35764;
    static constexpr qint32 kInvalidOperation = 35752;
    // A setting longer than this many bytes does not fit an FTP command line.
    static constexpr qsizetype kLongestSetting = 1000;

    explicit Inet(QObject* parent = nullptr);
    ~Inet() override;

    std::optional<ExecuteError> Execute(const QString& operation) override;
    void Abandon() override { *m_abort = true; }
    bool StillExecuting() const override { return m_executing; }
    const std::optional<SftpHostKey>& UnknownHostKey() const override { return m_unknownHostKey; }
    const std::optional<SftpHostKey>& ChangedHostKey() const override { return m_changedHostKey; }
    QString KnownFingerprint() const override { return m_knownFingerprint; }
    qint32 ResponseCode() const override { return m_responseCode; }
    QString ResponseInfo() const override { return m_responseInfo; }
    // Trusts `key` from now on: adds it to "known_hosts" in the current (program) directory.
    static bool TrustHostKey(const SftpHostKey& key, QString* error = nullptr);

private:
    std::optional<ExecuteError> parse(const QString& operation, InetRequest& request) const;
    void configure(InetRequest& request) const;
    // Why the request must not reach the server; empty when it may.
    QString refusal(const InetRequest& request) const;
    void onStateReached(qint16 state, qint32 responseCode, const QString& responseInfo);
    void onOperationEnded();

    void startWorker();
    void leaveBehind();
    void abandonStuckOperation();

    // An operation runs its few exchanges each within RequestTimeout; one still running after
    // this many times that is stuck.
    static constexpr int kStuckAfterTimeouts = 10;
    // How long an ending program waits for the operation in flight to stop.
    static constexpr int kEndingGraceMs = 3000;

    QThread* m_thread = nullptr;          // owned; left running when stuck
    std::unique_ptr<InetWorker> m_worker; // lives on m_thread, deleted once it has ended
    QTimer m_watchdog;
    // Shared with a worker left behind, which may still read it after this object is gone.
    std::shared_ptr<std::atomic_bool> m_abort = std::make_shared<std::atomic_bool>(false);
    bool m_executing = false;
    qint32 m_responseCode = 0;
    QString m_responseInfo;
    std::optional<SftpHostKey> m_unknownHostKey;
    std::optional<SftpHostKey> m_changedHostKey;
    QString m_knownFingerprint;
};
