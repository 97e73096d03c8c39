#pragma once

#include "ui/TwipsLayout.h"

#include <QList>
#include <QPointer>
#include <QWidget>

// A window's client area drawn in twips. Given more room than drawn, as when the status bar
// below needs a wider window or the user enlarges it, every control widens in proportion and
// the one that fills downwards takes the extra height, so the controls always fill the window.
class TwipsClient : public QWidget
{
    Q_OBJECT
public:
    TwipsClient(const TwipsLayout& twips, int widthTwips, int heightTwips, QWidget* parent);

    void place(QWidget* control, int left, int top, int width, int height, bool fillsDown = false);

protected:
    bool event(QEvent* event) override;

private:
    struct Placed
    {
        QPointer<QWidget> control;
        QRect twips;
        bool fillsDown;
    };

    void layOut();

    TwipsLayout m_twips;
    QSize m_drawn;
    QList<Placed> m_placed;
};
