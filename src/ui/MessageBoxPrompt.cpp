#include "ui/MessageBoxPrompt.h"

#include <QGuiApplication>

#include <cstdio>

namespace {

// Every message also reaches standard error, so a terminal or journal keeps it; where nobody
// can answer a box, that line is all there is.
bool onScreen(const QString& title, const QString& text)
{
    std::fprintf(stderr, "%s: %s\n", title.toLocal8Bit().constData(),
                 text.toLocal8Bit().constData());
    std::fflush(stderr);
    return QGuiApplication::platformName() != QLatin1String("offscreen");
}

void prepare(QMessageBox& box)
{
    box.setDefaultButton(QMessageBox::Ok);
    // Above the splash card, which stays on top of the program's other windows.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
}

} // namespace

Prompt::Answer MessageBoxPrompt::Show(const QString& title, const QString& text, Buttons buttons)
{
    if (!onScreen(title, text))
        return Answer::Ok;
    QMessageBox box(QMessageBox::NoIcon, title, text,
                    buttons == Buttons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel
                                                 : QMessageBox::Ok);
    prepare(box);
    if (buttons == Buttons::OkCancel)
        box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok ? Answer::Ok : Answer::Cancel;
}

void MessageBoxPrompt::Ask(const QString& title, const QString& text,
                           std::function<void(Answer)> answered)
{
    if (!onScreen(title, text)) {
        answered(Answer::Cancel);
        return;
    }
    auto* box =
        new QMessageBox(QMessageBox::Question, title, text, QMessageBox::Ok | QMessageBox::Cancel);
    box->setAttribute(Qt::WA_DeleteOnClose);
    prepare(*box);
    box->setDefaultButton(QMessageBox::Cancel);
    box->setEscapeButton(QMessageBox::Cancel);
    QObject::connect(box, &QMessageBox::finished, box, [answered](int result) {
        answered(result == QMessageBox::Ok ? Answer::Ok : Answer::Cancel);
    });
    box->show();
}

bool MessageBoxPrompt::Notify(const QString& title, const QString& text)
{
    if (m_notice)
        return false;
    if (!onScreen(title, text))
        return true;
    m_notice = new QMessageBox(QMessageBox::NoIcon, title, text, QMessageBox::Ok);
    m_notice->setAttribute(Qt::WA_DeleteOnClose);
    prepare(*m_notice);
    m_notice->show();
    return true;
}
