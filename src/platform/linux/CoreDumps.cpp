#include "platform/CoreDumps.h"

#include <sys/prctl.h>

void ForbidCoreDumps()
{
    ::prctl(PR_SET_DUMPABLE, 0);
}
