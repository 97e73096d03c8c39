#pragma once

#include "engine/PublishTarget.h"

#include <QString>

class CheckHost;
class FtpDriver;
class FileTransfer;
class PageGenerator;
struct Settings;

// The first target, the redirector page on the FTP, FTPS or SFTP server: configures the
// transfer from the settings, writes the page, then DELETE, PUT, CLOSE and QUIT one at a time.
// While Host is the shipped placeholder there is nowhere to publish, and no error in that.
class PublishSequence final : public PublishTarget
{
public:
    PublishSequence(FileTransfer& ftp1, FtpDriver& driver, PageGenerator& pages, CheckHost& host,
                    qint16 requestTimeoutSeconds)
        : m_ftp1(ftp1), m_driver(driver), m_pages(pages), m_host(host),
          m_requestTimeoutSeconds(requestTimeoutSeconds)
    {
    }

    QString Name() const override { return QStringLiteral("page"); }
    bool Enabled(const Settings& settings) const override;
    Result Publish(const CheckAddresses& addresses, const PublishContext& context) override;

private:
    // True when the page was uploaded.
    bool upload(const CheckAddresses& addresses, const Settings& settings);
    void configure(const Settings& settings);

    FileTransfer& m_ftp1;
    FtpDriver& m_driver;
    PageGenerator& m_pages;
    CheckHost& m_host;
    qint16 m_requestTimeoutSeconds;
};
