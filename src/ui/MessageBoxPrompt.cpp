#include "ui/MessageBoxPrompt.h"

#include <QGuiApplication>
#include <QMessageBox>

#include <cstdio>

Prompt::Answer MessageBoxPrompt::Show(const QString& title, const QString& text, Buttons buttons)
{
    // Every message also reaches standard error, so a terminal or journal keeps it.
    std::fprintf(stderr, "%s: %s\n", title.toLocal8Bit().constData(),
                 text.toLocal8Bit().constData());
    std::fflush(stderr);
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return Answer::Ok;
    QMessageBox box(QMessageBox::NoIcon, title, text,
                    buttons == Buttons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel
                                                 : QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    // Above the splash card, which stays on top of the program's other windows.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    if (buttons == Buttons::OkCancel)
        box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok ? Answer::Ok : Answer::Cancel;
}
