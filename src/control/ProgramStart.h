#pragma once

#include <optional>

class Prompt;

// What both programs, the desktop one and the service, do before the controller starts.
namespace ProgramStart {

// Answers a command line that asks for something other than a run (help, the version, a
// question to the running copy), with no display needed: the exit status. Nothing when the
// program is to run.
std::optional<int> AnswerCommandLine(int argc, char** argv);

// The homes resolve and the program directory is ready and current; false after `prompt` said
// why not.
bool Prepare(Prompt& prompt);

} // namespace ProgramStart
