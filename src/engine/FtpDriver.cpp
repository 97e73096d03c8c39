#include "engine/FtpDriver.h"

#include "components/FileTransfer.h"
#include "engine/CheckHost.h"
#include "system/RuntimeFormat.h"

#include <QEventLoop>

#include <array>

FtpDriver::FtpDriver(FileTransfer& ftp1, CheckHost& host) : m_ftp1(ftp1), m_host(host)
{
    connect(&m_ftp1, &FileTransfer::StateChanged, this, &FtpDriver::ftp1_StateChanged);
}

QString FtpDriver::FtpStateDesc(qint16 code)
{
    static const std::array<const char*, 13> texts = {
        "No state to report",
        "Resolving FTP host address",
        "FTP host address resolved",
        "Connecting to FTP host",
        "Connected to FTP host",
        "Sending request to FTP host",
        "Request sent to FTP host",
        "Receiving response from FTP host",
        "Finished receiving response from FTP host",
        "Disconnecting from FTP host",
        "Disconnected from FTP host",
        "Error with FTP occurred",
        "Response completed",
    };
    if (code >= 0 && code < static_cast<qint16>(texts.size()))
        return QLatin1String(texts[static_cast<size_t>(code)]);
    return QStringLiteral("Unknown FTP message: ") + NumberText(code);
}

void FtpDriver::FTPExecute(const QString& command)
{
    lLastFtpError = 0;
    sLastFtpError.clear();
    if (const auto refused = m_ftp1.Execute(command)) {
        lLastFtpError = refused->number;
        sLastFtpError = refused->description;
    }
    icWait();
}

void FtpDriver::icWait()
{
    if (!m_ftp1.StillExecuting())
        return;
    QEventLoop loop;
    connect(&m_ftp1, &FileTransfer::ExecutionEnded, &loop, &QEventLoop::quit);
    loop.exec();
}

void FtpDriver::ftp1_StateChanged(qint16 State)
{
    m_host.EventMsg(FtpStateDesc(State));
    if (State != FileTransfer::icError)
        return;
    lLastFtpError = m_ftp1.ResponseCode();
    sLastFtpError = m_ftp1.ResponseInfo();
    ++lFtpErrorCount;
    m_host.AddFtpErrorLine(NumberText(lFtpErrorCount) + QLatin1Char('-') +
                           NumberText(lLastFtpError) + QLatin1Char('-') + sLastFtpError);
    ShowFtpStats();
}

void FtpDriver::ShowFtpStats()
{
    m_host.ShowFtpStats(lFtpErrorCount, lUploadCount);
}

void FtpDriver::ResetStats()
{
    lFtpErrorCount = 0;
    sLastFtpError.clear();
    lLastFtpError = 0;
    lUploadCount = 0;
    ShowFtpStats();
}
