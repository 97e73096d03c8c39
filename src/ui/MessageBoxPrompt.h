#pragma once

#include "system/Prompt.h"

#include <QMessageBox>
#include <QPointer>

// Message boxes on screen. Each message is also written as "<title>: <text>" to standard
// error; where nobody can answer a box (the offscreen platform), that line is all there is and
// the box is answered with its default button, so a headless run never waits for a question.
class MessageBoxPrompt final : public Prompt
{
public:
    Answer Show(const QString& title, const QString& text, Buttons buttons) override;
    bool Notify(const QString& title, const QString& text) override;
    void Ask(const QString& title, const QString& text,
             std::function<void(Answer)> answered) override;

private:
    QPointer<QMessageBox> m_notice;
};
