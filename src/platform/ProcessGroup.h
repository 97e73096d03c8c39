#pragma once

#include <QtGlobal>

// A command that may start processes of its own runs as the leader of a new process group, so
// that it can be ended together with everything it started, also after it has itself ended.
namespace ProcessGroup {

// Called in a new child process before it runs the command: it leads a group of its own.
// Async-signal-safe, as a child of a threaded program requires.
void LeadNewGroup();

// Ends every process left in the group that `leader` leads; nothing when `leader` is not a
// process id.
void EndGroup(qint64 leader);

} // namespace ProcessGroup
