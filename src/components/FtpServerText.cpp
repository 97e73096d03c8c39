#include "components/FtpServerText.h"

QString PrintableServerText(const QString& text, const QString& password)
{
    QString masked = text;
    if (password.size() >= kMaskedPasswordLength)
        masked.replace(password, QStringLiteral("********"));

    QString printable;
    printable.reserve(masked.size());
    for (const QChar c : masked) {
        if (c.category() == QChar::Other_Control)
            printable += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            printable += c;
    }
    return printable;
}
