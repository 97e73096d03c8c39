#pragma once

#include <QByteArray>
#include <QString>

// The certificates of the TLS tests, made once per test program in a temporary folder by
// make_certs.py: an authority of the tests' own ("ca"), and server certificates with their
// keys: "trusted" (issued by it for 127.0.0.1 and ::1), "wrong-name" (issued by it for another
// host) and "self-signed" (for 127.0.0.1).
class TestCertificates
{
public:
    // The PEM file holding the named server certificate followed by its key.
    static QString serverFile(const QString& name);
    // The authority's certificate, as a user would put it in "ftp-ca.pem".
    static QByteArray authority();
    // The named server certificate alone, without its key.
    static QByteArray certificate(const QString& name);

private:
    static QString folder();
};
