#include "components/RemoteServer.h"

#include <QUrl>

namespace {

constexpr int kFtpPort = 21;
constexpr int kImplicitTlsPort = 990;
constexpr int kSshPort = 22;
constexpr int kHighestPort = 65535;

const QString kPrefix = QStringLiteral("FTP://");

QString quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

} // namespace

RemoteServer::RemoteServer(const QString& url)
{
    if (!url.startsWith(kPrefix, Qt::CaseInsensitive))
        m_problem = QStringLiteral("The FTP address ") + quoted(url) +
                    QStringLiteral(" does not start with FTP://");
    else
        read(url.mid(kPrefix.size()));
}

void RemoteServer::read(QString rest)
{
    const qsizetype schemeEnd = rest.indexOf(QLatin1String("://"));
    if (schemeEnd >= 0) {
        const QString scheme = rest.left(schemeEnd).toLower();
        if (scheme == QLatin1String("ftpes")) {
            m_security = ExplicitTls;
        } else if (scheme == QLatin1String("ftps")) {
            m_security = ImplicitTls;
        } else if (scheme == QLatin1String("sftp")) {
            m_security = Ssh;
        } else if (scheme != QLatin1String("ftp")) {
            m_problem = QStringLiteral("The host ") + quoted(rest) +
                        QStringLiteral(" names a protocol other than ftp://, ftpes://, ftps:// or "
                                       "sftp://");
            return;
        }
        rest = rest.mid(schemeEnd + 3);
    }
    if (rest.endsWith(QLatin1Char('/')))
        rest.chop(1);
    // "sftp://host:2222/www" would otherwise read as the port "2222/www".
    if (const qsizetype slash = rest.indexOf(QLatin1Char('/')); slash >= 0) {
        m_problem = QStringLiteral("The host ") + quoted(rest) +
                    QStringLiteral(" holds the directory ") + quoted(rest.mid(slash)) +
                    QStringLiteral("; enter only the server as the host, and the directory as "
                                   "the target directory (Dir) in File > Properties");
        return;
    }
    readAuthority(rest);
}

void RemoteServer::readAuthority(const QString& authority)
{
    if (authority.isEmpty()) {
        m_problem = QStringLiteral("The host is empty; enter the FTP server's name");
        return;
    }
    for (const QChar c : authority) {
        if (c.isSpace() || c.category() == QChar::Other_Control) {
            m_problem = QStringLiteral("The host ") + quoted(authority) +
                        QStringLiteral(" holds a blank or a control character");
            return;
        }
    }
    QString host = authority;
    QString portText;
    if (authority.startsWith(QLatin1Char('['))) {
        const qsizetype close = authority.indexOf(QLatin1Char(']'));
        host = authority.mid(1, close - 1);
        const QString after = close < 0 ? QStringLiteral("?") : authority.mid(close + 1);
        if (after.startsWith(QLatin1Char(':')))
            portText = after.mid(1);
        else if (!after.isEmpty())
            host.clear();
    } else if (authority.count(QLatin1Char(':')) == 1) {
        host = authority.section(QLatin1Char(':'), 0, 0);
        portText = authority.section(QLatin1Char(':'), 1);
        if (portText.isEmpty())
            portText = QStringLiteral("(none)");
    }

    int port = m_security == ImplicitTls ? kImplicitTlsPort
               : m_security == Ssh       ? kSshPort
                                         : kFtpPort;
    if (!portText.isEmpty()) {
        bool number = false;
        port = portText.toInt(&number);
        if (!number || !portText.front().isDigit() || port < 1 || port > kHighestPort) {
            m_problem = QStringLiteral("The port ") + quoted(portText) +
                        QStringLiteral(" of the host is not a number from 1 to 65535");
            return;
        }
    }

    QUrl server;
    server.setScheme(m_security == ImplicitTls ? QStringLiteral("ftps")
                     : m_security == Ssh       ? QStringLiteral("sftp")
                                               : QStringLiteral("ftp"));
    server.setHost(host, QUrl::StrictMode);
    server.setPort(port);
    if (host.isEmpty() || !server.isValid() || server.host().isEmpty()) {
        m_problem = QStringLiteral("The host ") + quoted(authority) +
                    QStringLiteral(" is not a valid server name or address");
        return;
    }
    m_server = server.toString(QUrl::FullyEncoded);
}
