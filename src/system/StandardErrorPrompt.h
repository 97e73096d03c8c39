#pragma once

#include "system/Prompt.h"

// Messages where nobody can answer a box (the service, a run without a screen): each is written
// as "<title>: <text>" to standard error, which a terminal or the journal keeps, and answered
// at once, so nothing ever waits for a question. A box is taken as read (OK); a question that
// waits for its answer is declined (Cancel), since nobody said yes to it.
class StandardErrorPrompt final : public Prompt
{
public:
    Answer Show(const QString& title, const QString& text, Buttons buttons) override;
    bool Notify(const QString& title, const QString& text) override;
    void Ask(const QString& title, const QString& text,
             std::function<void(Answer)> answered) override;

    // The one line a message leaves on standard error.
    static void Write(const QString& title, const QString& text);
};
