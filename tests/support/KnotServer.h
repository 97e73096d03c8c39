#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// Knot DNS (knotd) on a free loopback port, authoritative for example.org, which holds
// home.example.org A 192.0.2.1 and many.example.org with 40 A records (198.51.100.1 to .40),
// and accepts dynamic updates signed with its TSIG key only; ended with the object.
class KnotServer
{
public:
    KnotServer();
    ~KnotServer();

    quint16 port() const { return m_port; }
    QString server() const { return QStringLiteral("127.0.0.1:%1").arg(m_port); }
    static QString zone() { return QStringLiteral("example.org"); }
    static QString keyName() { return QStringLiteral("hostvane-key"); }
    static QString algorithm() { return QStringLiteral("hmac-sha256"); }
    static QString secret()
    {
        return QStringLiteral("c2VjcmV0LWtleS1mb3ItaG9zdHZhbmUtdGVzdHMhIQ==");
    }
    QByteArray log() const;

private:
    QString file(const char* name) const
    {
        return m_folder.path() + QLatin1Char('/') + QLatin1String(name);
    }

    QTemporaryDir m_folder;
    QProcess m_process;
    quint16 m_port = 0;
};
