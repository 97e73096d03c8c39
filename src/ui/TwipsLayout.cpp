#include "ui/TwipsLayout.h"

#include <QFontMetrics>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {
// Room a label or a text box needs beside its text: frame and inner margins.
constexpr int kTextMarginPx = 12;
constexpr double kLargestScale = 3.0;
constexpr double kSamePixel = 1e-6;
constexpr int kLargestStep = 4;
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
    m_devicePixelRatio = widget->devicePixelRatioF();
}

int TwipsLayout::px(int twips) const
{
    return static_cast<int>(std::lround(twips * m_pixelsPerTwip));
}

QRect TwipsLayout::rect(int left, int top, int width, int height) const
{
    return OnDevicePixels(QRect(px(left), px(top), px(width), px(height)), QPoint(),
                          m_devicePixelRatio);
}

QRect TwipsLayout::OnDevicePixels(const QRect& logical, QPoint origin, double devicePixelRatio)
{
    // The smallest step of logical pixels that is a whole number of device pixels: 2 at 1.5,
    // 4 at 1.25. A larger one would move controls visibly: then they stay where they are.
    int step = 1;
    for (int candidate = 1; candidate <= kLargestStep; ++candidate) {
        const double devicePixels = candidate * devicePixelRatio;
        if (std::abs(devicePixels - std::round(devicePixels)) < kSamePixel) {
            step = candidate;
            break;
        }
    }
    const auto snap = [step](int position) {
        return static_cast<int>(std::lround(static_cast<double>(position) / step)) * step;
    };
    QRect snapped;
    snapped.setLeft(snap(origin.x() + logical.left()) - origin.x());
    snapped.setTop(snap(origin.y() + logical.top()) - origin.y());
    snapped.setRight(snap(origin.x() + logical.right()) - origin.x());
    snapped.setBottom(snap(origin.y() + logical.bottom()) - origin.y());
    return snapped;
}
