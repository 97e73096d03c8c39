#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QLocalServer;
class QLocalSocket;

// One running program per user. The first instance listens on a local socket in the user's
// runtime directory and greets every caller with what it is (a desktop copy or the service); a
// later start finds it there, may ask it to show its window or to check now, and ends. A socket
// left behind by an instance that died answers nobody and is replaced; the socket and its
// directory are the user's own, so another user's instance is never reached.
class InstanceGuard : public QObject
{
    Q_OBJECT
public:
    enum class ClaimResult
    {
        First,        // this is the only instance, and now answers later starts
        OtherRunning, // another instance answered
        Failed,       // whether another runs cannot be ruled out; FailureText() says why
    };

    explicit InstanceGuard(QObject* parent = nullptr);
    ~InstanceGuard() override;

    // $XDG_RUNTIME_DIR/hostvane.instance; without that variable, a directory of the user's own
    // under the temporary directory.
    static QString SocketPath();

    ClaimResult Claim();
    QString FailureText() const { return m_failure; }
    // What this instance tells later starts it is.
    void setService(bool service) { m_service = service; }
    // After OtherRunning: whether the instance that answered runs as the service.
    bool OtherIsService() const { return m_otherIsService; }
    // Asks the instance that answered Claim to show, restore and raise its window, passing on
    // this start's XDG_ACTIVATION_TOKEN.
    void RaiseOther();
    // Asks the instance that answered Claim for a check now.
    void AskOtherToCheck();
    // Asks the instance that answered Claim how it stands; its answer, or nothing when none
    // came in time.
    std::optional<QByteArray> AskOtherForStatus();
    // What this instance answers a status request with.
    void setStatusSource(std::function<QByteArray()> source) { m_status = std::move(source); }

signals:
    // A later start asked this instance to bring its window to the front; `activationToken`,
    // empty for none, is the one its launcher gave it, which lets a Wayland desktop hand the
    // focus over.
    void ShowRequested(const QByteArray& activationToken);
    // A later start asked this instance for a check now.
    void CheckRequested();

private:
    void serveConnection();
    void ask(const QByteArray& request);

    QLocalServer* m_server = nullptr;
    QLocalSocket* m_other = nullptr;
    QString m_failure;
    std::function<QByteArray()> m_status;
    bool m_service = false;
    bool m_otherIsService = false;
};
