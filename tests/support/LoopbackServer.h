#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QProcess;
class QTemporaryDir;

// A server the tests start on a free loopback port and end with the object: a real FTP
// server with one user whose home directory the test fills and inspects, a server that
// accepts connections and never answers, an HTTP proxy that tunnels, or an HTTP address echo
// service.
class LoopbackServer
{
public:
    enum Tls
    {
        ExplicitTls,
        ImplicitTls
    };

    // `options` are further switches of ftp_server.py, such as {"--without", "SIZE"}.
    static LoopbackServer Ftp(const QString& user, const QString& password,
                              const QStringList& options = {});
    // FTP over TLS, required for login and data, with the TestCertificates server
    // certificate named `certificate`.
    static LoopbackServer FtpOverTls(const QString& user, const QString& password, Tls tls,
                                     const QString& certificate, const QStringList& options = {});
    static LoopbackServer Silent();
    static LoopbackServer ConnectProxy();
    // Answers every HTTP GET with `body` and the HTTP `status`; `options` are further switches
    // of echo_server.py, such as {"--ipv6"}.
    static LoopbackServer AddressEcho(const QString& body, int status = 200,
                                      const QStringList& options = {});
    // A dynamic-DNS update service: answers every GET with `body` (`repeat` times over) over
    // TLS with the
    // TestCertificates certificate `certificate`, or over plain HTTP when that is empty, and
    // keeps the requests (requests()).
    static LoopbackServer UpdateService(const QString& body, const QString& certificate = {},
                                        int repeat = 1);
    // A loopback port on which nothing listens.
    static quint16 UnusedPort();

    LoopbackServer(LoopbackServer&&) noexcept;
    ~LoopbackServer();

    quint16 port() const { return m_port; }
    // The FTP user's home, or the folder of the proxy's log.
    QString home() const;
    // "FTP://127.0.0.1:<port>", as the settings give a host with a port.
    QString url() const;
    // "127.0.0.1:<port>" (or "[::1]:<port>" for an FTP server started with "--bind ::1"), as
    // the settings give a host with a port or a proxy.
    QString address() const;
    // The tunnels the proxy has opened so far.
    int tunnelsOpened() const;
    // Every command line the FTP server has received so far, the password masked.
    QStringList commands() const;
    // The update service's requests so far: "path<TAB>Authorization<TAB>User-Agent".
    QStringList requests() const;

private:
    LoopbackServer(const QString& script, const QStringList& arguments,
                   std::unique_ptr<QTemporaryDir> folder, const QString& homeInFolder = {});

    std::unique_ptr<QTemporaryDir> m_folder; // the FTP home and the logs
    QString m_homeInFolder;
    QString m_host = QStringLiteral("127.0.0.1");
    std::unique_ptr<QProcess> m_process;
    quint16 m_port = 0;
};
