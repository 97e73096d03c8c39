#pragma once

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
    QRect rect(int left, int top, int width, int height) const;

private:
    double m_pixelsPerTwip;
};
