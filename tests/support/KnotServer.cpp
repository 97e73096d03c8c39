#include "support/KnotServer.h"

#include "support/LoopbackServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <stdexcept>

namespace {

void write(const QString& path, const QByteArray& text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

// More A records than an answer over UDP without EDNS holds: it comes truncated.
QByteArray many()
{
    QByteArray records;
    for (int i = 1; i <= 40; ++i)
        records += "many A 198.51.100." + QByteArray::number(i) + "\n";
    return records;
}

} // namespace

KnotServer::KnotServer() : m_port(LoopbackServer::UnusedPort())
{
    const QByteArray folder = m_folder.path().toUtf8();
    QDir().mkdir(file("db")); // the journal that keeps the updates
    write(file("example.org.zone"), "$ORIGIN example.org.\n$TTL 300\n"
                                    "@ SOA ns admin 1 3600 900 604800 300\n"
                                    "@ NS ns\nns A 127.0.0.1\nhome A 192.0.2.1\n" +
                                        many());
    write(file("knot.conf"),
          "server:\n  listen: 127.0.0.1@" + QByteArray::number(m_port) + "\n  rundir: " + folder +
              "\n  pidfile: " + folder +
              "/knot.pid\n"
              "database:\n  storage: " +
              folder +
              "/db\n"
              "control:\n  listen: " +
              folder +
              "/knot.sock\n"
              "log:\n  - target: stderr\n    any: info\n"
              "key:\n  - id: " +
              keyName().toUtf8() + "\n    algorithm: " + algorithm().toUtf8() +
              "\n    secret: " + secret().toUtf8() +
              "\n"
              "acl:\n  - id: update\n    key: " +
              keyName().toUtf8() +
              "\n    action: update\n"
              "zone:\n  - domain: example.org\n    storage: " +
              folder + "\n    file: example.org.zone\n    acl: update\n    zonefile-sync: -1\n");
    m_process.setStandardOutputFile(file("knot.log"));
    m_process.setStandardErrorFile(file("knot.log"));
    m_process.start(QStringLiteral("/usr/sbin/knotd"), {QStringLiteral("-c"), file("knot.conf")});
    QElapsedTimer waited;
    waited.start();
    // knotd answers over TCP once the zone is loaded.
    while (!log().contains("loaded, serial")) {
        if (m_process.state() == QProcess::NotRunning || waited.elapsed() > 10000)
            throw std::runtime_error("knotd did not start: " + log().toStdString());
        m_process.waitForFinished(50);
    }
}

KnotServer::~KnotServer()
{
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
}

QByteArray KnotServer::log() const
{
    QFile file(m_folder.path() + QStringLiteral("/knot.log"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
