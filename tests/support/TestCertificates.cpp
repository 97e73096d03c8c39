#include "support/TestCertificates.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <stdexcept>

namespace {
QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return file.readAll();
}
} // namespace

QString TestCertificates::folder()
{
    static const QTemporaryDir made;
    static const bool ready = [] {
        const int exitCode = QProcess::execute(
            QStringLiteral("/usr/bin/python3"),
            {QStringLiteral(HOSTVANE_TEST_SUPPORT_DIR "/make_certs.py"), made.path()});
        return exitCode == 0;
    }();
    if (!ready)
        throw std::runtime_error("make_certs.py failed");
    return made.path();
}

QString TestCertificates::serverFile(const QString& name)
{
    return folder() + QLatin1Char('/') + name + QStringLiteral(".pem");
}

QByteArray TestCertificates::authority()
{
    return readAll(folder() + QStringLiteral("/ca.pem"));
}

QByteArray TestCertificates::certificate(const QString& name)
{
    const QByteArray both = readAll(serverFile(name));
    const QByteArray end = "-----END CERTIFICATE-----\n";
    return both.left(both.indexOf(end) + end.size());
}
