#include "ui/TwipsLayout.h"

#include <QFontMetrics>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {
// Room a label or a text box needs beside its text: frame and inner margins.
constexpr int kTextMarginPx = 12;
constexpr double kLargestScale = 3.0;
} // namespace

TwipsLayout::TwipsLayout(const QWidget* widget, std::initializer_list<Fit> fits)
{
    const double designed = widget->logicalDpiX() / 1440.0;
    const QFontMetrics metrics(widget->font());
    double scale = 1.0;
    for (const Fit& fit : fits) {
        const double needed = metrics.horizontalAdvance(fit.text) + kTextMarginPx;
        scale = std::max(scale, needed / (fit.widthTwips * designed));
    }
    m_pixelsPerTwip = designed * std::min(scale, kLargestScale);
}

int TwipsLayout::px(int twips) const
{
    return static_cast<int>(std::lround(twips * m_pixelsPerTwip));
}

QRect TwipsLayout::rect(int left, int top, int width, int height) const
{
    return QRect(px(left), px(top), px(width), px(height));
}
