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

    // A box that waits for no answer is recorded as one answered with OK, unless the test keeps
    // an earlier one open.
    bool Notify(const QString& title, const QString& text) override
    {
        if (noticeOpen)
            return false;
        shown.append({title, text, Buttons::Ok});
        return true;
    }

    // A question that waits for no answer gets the next queued one at once.
    void Ask(const QString& title, const QString& text,
             std::function<void(Answer)> answered) override
    {
        answered(Show(title, text, Buttons::OkCancel));
    }

    QList<Shown> shown;
    QList<Answer> answers;
    bool noticeOpen = false;
};
