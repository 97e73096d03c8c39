#include "platform/ProcessGroup.h"

#include <csignal>
#include <unistd.h>

void ProcessGroup::LeadNewGroup()
{
    ::setpgid(0, 0);
}

void ProcessGroup::EndGroup(qint64 leader)
{
    if (leader > 0)
        ::kill(-static_cast<pid_t>(leader), SIGKILL);
}
