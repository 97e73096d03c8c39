#include "ui/StarPasswordStyle.h"

int StarPasswordStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                                 QStyleHintReturn* returnData) const
{
    if (hint == SH_LineEdit_PasswordCharacter)
        return '*';
    if (hint == SH_LineEdit_PasswordMaskDelay)
        return 0; // not even the last character typed is shown
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}
