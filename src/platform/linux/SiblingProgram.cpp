#include "platform/SiblingProgram.h"

#include <cerrno>
#include <climits>
#include <cstring>

#include <unistd.h>

std::string SiblingProgram::Exec(const char* name, char** argv)
{
    char self[PATH_MAX];
    const ssize_t size = ::readlink("/proc/self/exe", self, sizeof(self) - 1);
    if (size <= 0)
        return std::strerror(errno);
    std::string path(self, static_cast<size_t>(size));
    path.replace(path.rfind('/') + 1, std::string::npos, name);
    ::execv(path.c_str(), argv);
    return path + ": " + std::strerror(errno);
}
