#pragma once

#include "system/Prompt.h"

// Message boxes on screen. Where nobody can answer one (the offscreen platform), the box is
// written as "<title>: <text>" to standard error and answered with its default button, so a
// headless run never waits for a question.
class MessageBoxPrompt final : public Prompt
{
public:
    Answer Show(const QString& title, const QString& text, Buttons buttons) override;
};
