#pragma once

#include <QString>

// The server an operation goes to, read from the component's URL: "FTP://" followed by the
// host as the user wrote it, which is `host[:port]` (plain FTP), `ftp://host[:port]` (the
// same), `ftpes://host[:port]` (explicit TLS on port 21 unless given), `ftps://host[:port]`
// (implicit TLS, port 990 unless given) or `sftp://host[:port]` (SFTP over SSH, port 22 unless
// given). An IPv6 address is written in brackets.
class RemoteServer
{
public:
    enum Security
    {
        Plain,
        ExplicitTls,
        ImplicitTls,
        Ssh
    };

    // Reads `url`; when it cannot be used, problem() says why in words a user understands.
    explicit RemoteServer(const QString& url);

    const QString& problem() const { return m_problem; }
    Security security() const { return m_security; }
    // "ftp://host:port", "ftps://host:port" or "sftp://host:port", the scheme and authority
    // curl connects to.
    const QString& server() const { return m_server; }

private:
    void read(QString rest);
    void readAuthority(const QString& authority);

    Security m_security = Plain;
    QString m_server;
    QString m_problem;
};
