#include "components/ServerText.h"

#include "system/RuntimeFormat.h"

QString PrintableServerText(const QString& text, const QString& password)
{
    QString masked = text;
    if (password.size() >= kMaskedPasswordLength)
        masked.replace(password, QStringLiteral("********"));
    return PrintableText(masked);
}
