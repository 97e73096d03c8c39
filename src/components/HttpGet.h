#pragma once

#include <QByteArray>
#include <QString>

// One HTTP GET with basic authentication, as dynamic-DNS update services take it, over libcurl.
// Only http:// and https:// are spoken, and a redirect is never followed, so the password goes
// only where the URL says, in the way it says. Over TLS the server's certificate is checked
// against the system's store and `trustedAuthorities` (PEM) beside it. The answer is read up
// to `limit` bytes. Blocks until done or `timeoutSeconds` passed: run it off the event loop's
// thread.
struct HttpGetRequest
{
    QString url;
    QString user;
    QString password;
    QByteArray userAgent;
    QByteArray trustedAuthorities;
    long timeoutSeconds = 10;
    qsizetype limit = 1024;
};

struct HttpGetResult
{
    QString error; // why no answer came; empty when one did
    long status = 0;
    QByteArray body;  // at most the limit
    bool cut = false; // the answer was longer than the limit
};

HttpGetResult HttpGet(const HttpGetRequest& request);
