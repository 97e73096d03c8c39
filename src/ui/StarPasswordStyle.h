#pragma once

#include <QProxyStyle>

// Shows each character of a password box as "*", whatever the platform style would draw.
class StarPasswordStyle final : public QProxyStyle
{
    Q_OBJECT
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override;
};
