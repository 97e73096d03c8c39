#pragma once

#include <QString>

#include <functional>

// Every message box of the program goes through one Prompt, which tests replace to read
// what was asked and to answer it.
class Prompt
{
public:
    enum class Buttons
    {
        Ok,
        OkCancel
    };
    enum class Answer
    {
        Ok,
        Cancel
    };

    virtual ~Prompt() = default;
    // Shows a box and waits for its answer.
    virtual Answer Show(const QString& title, const QString& text, Buttons buttons) = 0;
    // Shows a box with only OK and returns at once, so that whoever reports keeps working while
    // the box waits to be read. False when such a box is still open: this one is not stacked
    // over it, and the caller records the message another way.
    virtual bool Notify(const QString& title, const QString& text) = 0;
    // Asks an OK or Cancel question without waiting: `answered` gets the answer later. Where
    // nobody can answer, and when the box is closed, the answer is Cancel: a question asked
    // this way is one that must not be answered yes for the user.
    virtual void Ask(const QString& title, const QString& text,
                     std::function<void(Answer)> answered) = 0;
};
