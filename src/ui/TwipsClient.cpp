#include "ui/TwipsClient.h"

#include <QEvent>

#include <algorithm>
#include <cmath>

TwipsClient::TwipsClient(const TwipsLayout& twips, int widthTwips, int heightTwips, QWidget* parent)
    : QWidget(parent), m_twips(twips), m_drawn(twips.px(widthTwips), twips.px(heightTwips))
{
    setMinimumSize(m_drawn);
}

void TwipsClient::place(QWidget* control, int left, int top, int width, int height, bool fillsDown)
{
    m_placed.append({control, QRect(left, top, width, height), fillsDown});
    layOut();
}

bool TwipsClient::event(QEvent* event)
{
    // A move matters too: where the edges fall on device pixels depends on the place in the
    // window, and the menu bar above may change its height.
    if (event->type() == QEvent::Resize || event->type() == QEvent::Move)
        layOut();
    return QWidget::event(event);
}

void TwipsClient::layOut()
{
    const double widen = std::max(1.0, static_cast<double>(width()) / m_drawn.width());
    const int extraHeight = std::max(0, height() - m_drawn.height());
    const auto across = [&](int twips) {
        return static_cast<int>(std::lround(m_twips.px(twips) * widen));
    };
    const QPoint origin = mapTo(window(), QPoint());
    for (const Placed& placed : std::as_const(m_placed)) {
        if (placed.control.isNull())
            continue;
        const QRect& t = placed.twips;
        const int left = across(t.left());
        const int height = m_twips.px(t.height()) + (placed.fillsDown ? extraHeight : 0);
        const QRect logical(left, m_twips.px(t.top()), across(t.left() + t.width()) - left, height);
        placed.control->setGeometry(
            TwipsLayout::OnDevicePixels(logical, origin, devicePixelRatioF()));
    }
}
