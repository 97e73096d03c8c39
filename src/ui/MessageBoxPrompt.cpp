#include "ui/MessageBoxPrompt.h"

#include "system/StandardErrorPrompt.h"

#include <QGuiApplication>
#include <QLabel>

#include <algorithm>

namespace {

constexpr int kTitleBarButtons = 3;

// Every message also reaches standard error, so a terminal or journal keeps it; where nobody
// can answer a box, that line is all there is.
bool onScreen(const QString& title, const QString& text)
{
    StandardErrorPrompt::Write(title, text);
    return QGuiApplication::platformName() != QLatin1String("offscreen");
}

// Above the splash card, which stays on top of the program's other windows. A line without
// blanks (a fingerprint, a path) is never broken, so it can be compared at a glance; and where
// Qt draws the title bar itself (Wayland), the box is wide enough for its title beside the
// bar's buttons.
void prepare(QMessageBox& box)
{
    box.setDefaultButton(QMessageBox::Ok);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    if (!label)
        return;
    const QFontMetrics metrics = label->fontMetrics();
    int widest = 0;
    for (const QString& line : box.text().split(u'\n')) {
        if (!line.contains(u' '))
            widest = std::max(widest, metrics.horizontalAdvance(line) + 1);
    }
    // The bar draws the title in a bolder font, between the icon and the buttons.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        widest = std::max(widest, metrics.horizontalAdvance(box.windowTitle()) * 3 / 2 +
                                      (kTitleBarButtons + 1) * metrics.height() * 2);
    label->setMinimumWidth(widest);
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
