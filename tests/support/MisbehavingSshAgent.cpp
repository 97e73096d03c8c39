#include "support/MisbehavingSshAgent.h"

#include <QFile>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

MisbehavingSshAgent::MisbehavingSshAgent(Behaviour behaviour) : m_behaviour(behaviour)
{
    const QByteArray path = QFile::encodeName(socketPath());
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::copy(path.begin(), path.end(), address.sun_path);
    m_listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listener < 0 ||
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listener, 8) != 0 || ::pipe(m_stop) != 0)
        throw std::runtime_error("cannot make the agent socket");
    m_thread = std::thread([this] { serve(); });
}

MisbehavingSshAgent::~MisbehavingSshAgent()
{
    ::close(m_stop[1]);
    m_thread.join();
    ::close(m_stop[0]);
    ::close(m_listener);
}

// Every connection stays open until the object ends, unless the behaviour hangs up.
void MisbehavingSshAgent::serve()
{
    std::vector<int> callers;
    for (;;) {
        pollfd waits[] = {{m_stop[0], POLLIN, 0}, {m_listener, POLLIN, 0}};
        if (::poll(waits, 2, -1) < 0 || waits[0].revents != 0)
            break;
        const int caller = ::accept(m_listener, nullptr, nullptr);
        if (caller < 0)
            continue;
        char request[5];
        const bool asked = ::recv(caller, request, sizeof request, MSG_WAITALL) == sizeof request;
        switch (asked ? m_behaviour : Behaviour::ClosesAfterRequest) {
        case Behaviour::Silent:
            break;
        case Behaviour::Garbage:
            ::send(caller, "\0\0\0\x09not keys!", 13, MSG_NOSIGNAL);
            break;
        case Behaviour::HugeAnswer:
            ::send(caller, "\x7f\xff\xff\xff\x0c\0\0", 7, MSG_NOSIGNAL);
            break;
        case Behaviour::ClosesAfterRequest:
            ::close(caller);
            continue;
        }
        callers.push_back(caller);
    }
    for (const int caller : callers)
        ::close(caller);
}
