#include "system/StandardErrorPrompt.h"

#include <cstdio>

void StandardErrorPrompt::Write(const QString& title, const QString& text)
{
    std::fprintf(stderr, "%s: %s\n", title.toLocal8Bit().constData(),
                 text.toLocal8Bit().constData());
    std::fflush(stderr);
}

Prompt::Answer StandardErrorPrompt::Show(const QString& title, const QString& text, Buttons)
{
    Write(title, text);
    return Answer::Ok;
}

bool StandardErrorPrompt::Notify(const QString& title, const QString& text)
{
    Write(title, text);
    return true;
}

void StandardErrorPrompt::Ask(const QString& title, const QString& text,
                              std::function<void(Answer)> answered)
{
    Write(title, text);
    answered(Answer::Cancel);
}
