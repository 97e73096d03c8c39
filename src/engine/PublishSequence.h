#pragma once

#include <QString>

class CheckHost;
class FtpDriver;
class Inet;
class PageGenerator;
struct Settings;

// Replaces the redirector page on the FTP server: configures the component from the
// settings, writes the page, then DELETE, PUT, CLOSE and QUIT one at a time.
class PublishSequence
{
public:
    PublishSequence(Inet& ftp1, FtpDriver& driver, PageGenerator& pages, CheckHost& host,
                    qint16 requestTimeoutSeconds)
        : m_ftp1(ftp1), m_driver(driver), m_pages(pages), m_host(host),
          m_requestTimeoutSeconds(requestTimeoutSeconds)
    {
    }

    // True when the page was uploaded. Either address may be empty, not both.
    bool Publish(const QString& ip, const Settings& settings, const QString& ipv6 = QString());

private:
    void configure(const Settings& settings);

    Inet& m_ftp1;
    FtpDriver& m_driver;
    PageGenerator& m_pages;
    CheckHost& m_host;
    qint16 m_requestTimeoutSeconds;
};
