#pragma once

#include <string>

// Another program of the installation, in the running executable's directory.
namespace SiblingProgram {

// Runs `name` in place of this program, in the same process, with the same arguments and
// environment. Returns only when it could not, with why (std::strerror's words).
std::string Exec(const char* name, char** argv);

} // namespace SiblingProgram
