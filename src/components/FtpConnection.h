#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <atomic>
#include <optional>

typedef void CURL;
struct InetRequest;

// One exchange with the server on the open connection (or a new one when none is open): the
// raw commands are sent as they are after the login, each reply is kept; then, when `path` is
// given, the file at that path is stored from `upload` or fetched into `download`.
struct FtpExchange
{
    QList<QByteArray> commands; // a leading "*" lets the exchange go on after a refusal
    QByteArray path;
    const QByteArray* upload = nullptr;
    QByteArray* download = nullptr;
    // A download longer than this is cut short: nothing longer is wanted.
    qsizetype downloadLimit = 0;
};

// Why an exchange failed: the server's reply code and text, or curl's code and words.
struct FtpFailure
{
    qint32 code = 0;
    QString info;
};

// What a connection tells the one who reports its progress.
class FtpListener
{
public:
    virtual void socketOpening() = 0; // for a new control connection or for data
    virtual void requesting() = 0;    // logged in; the exchange's commands follow
    virtual void sent(const QByteArray& line) = 0;
    virtual void received(const QByteArray& line) = 0;

protected:
    ~FtpListener() = default;
};

// The libcurl handle behind the component: one control connection kept open from one exchange
// to the next until it is closed, with the security, login and proxy the request names.
class FtpConnection
{
public:
    explicit FtpConnection(const std::atomic_bool& abort) : m_abort(abort) {}
    ~FtpConnection();
    FtpConnection(const FtpConnection&) = delete;
    FtpConnection& operator=(const FtpConnection&) = delete;

    // Progress goes to `listener` until another one (or none) is set.
    void setListener(FtpListener* listener) { m_listener = listener; }
    // When the component is ending, a last clean-up still gets `seconds` to finish.
    void setGraceSeconds(int seconds) { m_graceSeconds = seconds; }

    // 0 (CURLE_OK) when the exchange went through; the replies are then in replyTo.
    int perform(const InetRequest& request, const FtpExchange& exchange);
    // The server's reply to the last command of the last exchange that starts with `command`:
    // empty when no reply came, nothing when no such command was sent.
    std::optional<QByteArray> replyTo(const QByteArray& command) const;
    // Nothing when `result` is success; else the server's refusal when it gave one, or
    // curl's own words with the detail it gave.
    std::optional<FtpFailure> failure(int result) const;

    bool isOpen() const { return m_open; }
    // Sends QUIT on a connection that is still open, then lets it go.
    void close();

private:
    bool aborting() const { return m_abort.load() && m_graceSeconds == 0; }

    friend struct FtpCallbacks;

    const std::atomic_bool& m_abort;
    CURL* m_curl = nullptr;
    FtpListener* m_listener = nullptr;
    bool m_open = false;
    int m_graceSeconds = 0;
    const QByteArray* m_upload = nullptr;
    qsizetype m_uploaded = 0;
    QByteArray* m_download = nullptr;
    qsizetype m_downloadLimit = 0;
    QList<QPair<QByteArray, QByteArray>> m_dialogue; // each command sent with its reply
    QByteArray m_lastReply;
    char m_errorText[256] = {};
};
