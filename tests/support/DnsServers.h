#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// Real authoritative DNS servers on a free loopback port for the tests, each serving the zone
// example.org, which holds home.example.org A 192.0.2.1 and many.example.org with 40 A records
// (198.51.100.1 to .40), and takes dynamic updates signed with the one TSIG key only. Ended
// with the object.
class DnsTestServer
{
public:
    virtual ~DnsTestServer();

    static QString zone() { return QStringLiteral("example.org"); }
    static QString keyName() { return QStringLiteral("hostvane-key"); }
    static QString algorithm() { return QStringLiteral("hmac-sha256"); }
    static QString secret()
    {
        return QStringLiteral("c2VjcmV0LWtleS1mb3ItaG9zdHZhbmUtdGVzdHMhIQ==");
    }

    quint16 port() const { return m_port; }
    QString server() const { return QStringLiteral("127.0.0.1:%1").arg(m_port); }
    QByteArray log() const;

protected:
    DnsTestServer();
    QString file(const char* name) const;
    QByteArray folder() const { return m_folder.path().toUtf8(); }
    void write(const char* name, const QByteArray& text) const;
    // Starts `program` logging to the folder, and waits until its log holds `ready`.
    void start(const QString& program, const QStringList& arguments, const QByteArray& ready);

private:
    QTemporaryDir m_folder;
    QProcess m_process;
    quint16 m_port;
};

// Knot DNS (knotd).
class KnotServer final : public DnsTestServer
{
public:
    KnotServer();
};

// BIND 9 (named).
class BindServer final : public DnsTestServer
{
public:
    BindServer();
};
