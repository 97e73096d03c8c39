#pragma once

#include <QObject>
#include <QString>

class CheckHost;
class FileTransfer;

// Turns the asynchronous transfer component into one command at a time, and keeps the FTP
// bookkeeping: every state becomes a history line, every error state is counted and listed.
class FtpDriver : public QObject
{
    Q_OBJECT
public:
    FtpDriver(FileTransfer& ftp1, CheckHost& host);

    static QString FtpStateDesc(qint16 code);

    // Runs one command and returns when the component has finished it; lLastFtpError is 0
    // when nothing went wrong.
    void FTPExecute(const QString& command);
    void ShowFtpStats();
    // Clears the counters, as at start-up.
    void ResetStats();

    qint32 lLastFtpError = 0;
    QString sLastFtpError;
    qint32 lFtpErrorCount = 0;
    qint32 lUploadCount = 0;

private:
    void ftp1_StateChanged(qint16 State);
    // Sleeps in an event loop until the component ends its operation.
    void icWait();

    FileTransfer& m_ftp1;
    CheckHost& m_host;
};
