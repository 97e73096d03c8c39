#pragma once

#include <QByteArray>
#include <QString>

class CheckHost;
class ErrorReporter;

// Replaces the first "~IP~" of `line`, in any letter case, by `ip`; false when there is none.
bool ReplaceAddressMarker(QByteArray& line, const QByteArray& ip);

// Writes the redirector page "hostvane.htm" from the working template "hostvane.inp", which is
// created from the installed "template/hostvane.inp" when it is missing or empty and otherwise
// left as the user made it. Page lines end in CR LF.
class PageGenerator
{
public:
    PageGenerator(CheckHost& host, ErrorReporter& errors) : m_host(host), m_errors(errors) {}

    // 0 when the page was written whole, 1 otherwise.
    qint16 CreateHtm(const QString& ip);

private:
    bool copyInstalledTemplate();
    bool writePage(const QByteArray& ip);

    CheckHost& m_host;
    ErrorReporter& m_errors;
};
