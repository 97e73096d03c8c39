#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

// One running program per user. The first instance listens on a local socket in the user's
// runtime directory; a later start finds it there, may ask it to show its window, and ends.
// A socket left behind by an instance that died answers nobody and is replaced; the socket and
// its directory are the user's own, so another user's instance is never reached.
class InstanceGuard : public QObject
{
    Q_OBJECT
public:
    explicit InstanceGuard(QObject* parent = nullptr);
    ~InstanceGuard() override;

    // $XDG_RUNTIME_DIR/hostvane.instance; without that variable, a directory of the user's own
    // under the temporary directory.
    static QString SocketPath();

    // True when this is the only instance, which now answers later starts; false when another
    // instance answered.
    bool Claim();
    // Asks the instance that answered Claim to show, restore and raise its window.
    void RaiseOther();

signals:
    // A later start asked this instance to bring its window to the front.
    void ShowRequested();

private:
    void serveConnection();

    QLocalServer* m_server = nullptr;
    QLocalSocket* m_other = nullptr;
};
