#pragma once

#include <QString>

#include <chrono>

// Whether the ssh agent at `socketPath` answers a request for its keys within `limit` with a
// well-formed list that holds at least one key. libssh2 talks to the agent without a time
// limit or a bound on what it reads, so an agent that is silent, talks nonsense or claims a
// huge answer would hold the login for good; one that fails this question is not used.
bool SshAgentOffersKeys(const QString& socketPath, std::chrono::milliseconds limit);
