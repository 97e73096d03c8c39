#pragma once

#include <QRect>
#include <QWidget>

// Window layouts are given in twips, 1/1440 inch.
inline int Twips(const QWidget* widget, int twips)
{
    return twips * widget->logicalDpiX() / 1440;
}

inline QRect TwipsRect(const QWidget* widget, int left, int top, int width, int height)
{
    return QRect(Twips(widget, left), Twips(widget, top), Twips(widget, width),
                 Twips(widget, height));
}
