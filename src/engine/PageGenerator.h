#pragma once

#include <QByteArray>
#include <QString>

class CheckHost;
class ErrorReporter;

// Replaces the first "~IP~" of `line` by `ip` and the first "~IP6~" by `ip6`, in any letter
// case; false when there is neither. The line is read once from the left: a marker that
// overlaps one replaced before it ("~IP~IP6~") is not one, and a value put in is never searched.
bool ReplaceAddressMarker(QByteArray& line, const QByteArray& ip, const QByteArray& ip6);

// Writes the redirector page "hostvane.htm" from the working template "hostvane.inp", which is
// created from the installed "template/hostvane.inp" when it is missing or empty and otherwise
// left as the user made it. Page lines end in CR LF.
class PageGenerator
{
public:
    PageGenerator(CheckHost& host, ErrorReporter& errors) : m_host(host), m_errors(errors) {}

    // 0 when the page was written whole, 1 otherwise. Each marker becomes its address as a
    // URL host ("10.1.2.3", "[2001:db8::5]"), or the other family's where the check found none
    // of its own, so every link of the page works.
    qint16 CreateHtm(const QString& ip, const QString& ipv6 = QString());

private:
    bool copyInstalledTemplate();
    bool writePage(const QByteArray& ip, const QByteArray& ip6);

    CheckHost& m_host;
    ErrorReporter& m_errors;
};
