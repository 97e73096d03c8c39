#include "support/DnsServers.h"
#include "support/FileBytes.h"

#include "support/LoopbackServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <stdexcept>

namespace {

QByteArray zoneFile()
{
    QByteArray zone = "$ORIGIN example.org.\n$TTL 300\n@ SOA ns admin 1 3600 900 604800 300\n"
                      "@ NS ns\nns A 127.0.0.1\nhome A 192.0.2.1\n";
    // More A records than an answer over UDP without EDNS holds: it comes truncated.
    for (int i = 1; i <= 40; ++i)
        zone += "many A 198.51.100." + QByteArray::number(i) + "\n";
    return zone;
}

} // namespace

DnsTestServer::DnsTestServer() : m_port(LoopbackServer::UnusedPort())
{
    write("example.org.zone", zoneFile());
}

DnsTestServer::~DnsTestServer()
{
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
}

QString DnsTestServer::file(const char* name) const
{
    return m_folder.path() + QLatin1Char('/') + QLatin1String(name);
}

void DnsTestServer::write(const char* name, const QByteArray& text) const
{
    QFile out(file(name));
    if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size())
        throw std::runtime_error(std::string("cannot write ") + name);
}

QByteArray DnsTestServer::log() const
{
    return FileBytes(file("server.log"));
}

void DnsTestServer::start(const QString& program, const QStringList& arguments,
                          const QByteArray& ready)
{
    m_process.setStandardOutputFile(file("server.log"));
    m_process.setStandardErrorFile(file("server.log"));
    m_process.start(program, arguments);
    QElapsedTimer waited;
    waited.start();
    while (!log().contains(ready)) {
        if (m_process.state() == QProcess::NotRunning || waited.elapsed() > 10000)
            throw std::runtime_error(program.toStdString() +
                                     " did not start: " + log().toStdString());
        m_process.waitForFinished(50);
    }
}

KnotServer::KnotServer()
{
    QDir().mkdir(file("db")); // the journal that keeps the updates
    const QByteArray config =
        QStringLiteral(R"(server:
  listen: 127.0.0.1@%1
  rundir: %2
  pidfile: %2/knot.pid
database:
  storage: %2/db
control:
  listen: %2/knot.sock
log:
  - target: stderr
    any: info
key:
  - id: %3
    algorithm: %4
    secret: %5
acl:
  - id: update
    key: %3
    action: update
zone:
  - domain: example.org
    storage: %2
    file: example.org.zone
    acl: update
    zonefile-sync: -1
)")
            .arg(port())
            .arg(QString::fromUtf8(folder()), keyName(), algorithm(), secret())
            .toUtf8();
    write("knot.conf", config);
    start(QStringLiteral("/usr/sbin/knotd"), {QStringLiteral("-c"), file("knot.conf")},
          "loaded, serial");
}

BindServer::BindServer()
{
    const QByteArray config =
        QStringLiteral(R"(options {
    directory "%2";
    pid-file "%2/named.pid";
    session-keyfile "%2/session.key";
    listen-on port %1 { 127.0.0.1; };
    listen-on-v6 { none; };
    recursion no;
    dnssec-validation no;
};
controls { };
key "%3" { algorithm %4; secret "%5"; };
zone "example.org" {
    type primary;
    file "%2/example.org.zone";
    allow-update { key "%3"; };
};
)")
            .arg(port())
            .arg(QString::fromUtf8(folder()), keyName(), algorithm(), secret())
            .toUtf8();
    write("named.conf", config);
    start(QStringLiteral("/usr/sbin/named"),
          {QStringLiteral("-g"), QStringLiteral("-n"), QStringLiteral("1"), QStringLiteral("-c"),
           file("named.conf")},
          "running");
}
