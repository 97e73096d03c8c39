#include "ui/WindowSize.h"

#include <QGuiApplication>
#include <QWidget>

void KeepWindowSize(QWidget& window, const QSize& size)
{
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        window.setMinimumSize(size);
        window.resize(size);
    } else {
        window.setFixedSize(size);
    }
}
