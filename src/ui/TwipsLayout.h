#pragma once

#include <QPoint>
#include <QRect>
#include <QString>

class QWidget;

// Window layouts are drawn in twips (1/1440 inch) for a small dialog font. Where the system
// font needs more room, the whole layout is enlarged by one factor, so texts are never cut
// and the proportions stay as drawn.
class TwipsLayout
{
public:
    struct Fit
    {
        QString text;
        int widthTwips;
    };

    // The factor that lets every text fit the width drawn for it in `widget`'s font.
    TwipsLayout(const QWidget* widget, std::initializer_list<Fit> fits);

    int px(int twips) const;
    // A control's place in its window, its edges on whole device pixels.
    QRect rect(int left, int top, int width, int height) const;

    // `logical` moved by at most a pixel or two so that its first and last rows and columns
    // fall on whole device pixels, for a widget at `origin` in its window. At a fractional
    // scale (1.5 at 144 DPI) a one-pixel frame line between two device pixels is lost.
    static QRect OnDevicePixels(const QRect& logical, QPoint origin, double devicePixelRatio);

private:
    double m_pixelsPerTwip;
    double m_devicePixelRatio;
};
