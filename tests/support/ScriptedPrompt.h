#pragma once

#include "system/Prompt.h"

#include <QList>
#include <QString>

// Records every message box and answers with queued answers (OK once the queue is empty).
class ScriptedPrompt final : public Prompt
{
public:
    struct Shown
    {
        QString title;
        QString text;
        Buttons buttons;
    };

    Answer Show(const QString& title, const QString& text, Buttons buttons) override
    {
        shown.append({title, text, buttons});
        return answers.isEmpty() ? Answer::Ok : answers.takeFirst();
    }

    QList<Shown> shown;
    QList<Answer> answers;
};
