#pragma once

#include <QString>

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
    virtual Answer Show(const QString& title, const QString& text, Buttons buttons) = 0;
};
