#include "platform/TerminationSignals.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::array kSignals = {SIGTERM, SIGINT, SIGHUP};
// Written by the handler, so it is a plain integer the handler can read at any time.
volatile sig_atomic_t g_writeEnd = -1;
struct sigaction g_previous[kSignals.size()];

void onSignal(int signalNumber)
{
    const int savedErrno = errno;
    const auto number = static_cast<unsigned char>(signalNumber);
    if (g_writeEnd >= 0) {
        // A full pipe already holds a pending signal; nothing is lost by dropping this one.
        [[maybe_unused]] const ssize_t written = ::write(g_writeEnd, &number, 1);
    }
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, m_sockets) != 0) {
        // The signals keep their default action: they end the program at once, without its
        // shutdown.
        std::fprintf(stderr,
                     "HostVane: cannot watch for termination signals (%s); SIGTERM, SIGINT and "
                     "SIGHUP end the program without its shutdown\n",
                     std::strerror(errno));
        m_sockets[0] = m_sockets[1] = -1;
        return;
    }
    g_writeEnd = m_sockets[0];
    m_notifier = new QSocketNotifier(m_sockets[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readPending);

    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &action, &g_previous[i]);
}

TerminationSignals::~TerminationSignals()
{
    if (m_sockets[0] < 0)
        return;
    for (size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &g_previous[i], nullptr);
    g_writeEnd = -1;
    ::close(m_sockets[0]);
    ::close(m_sockets[1]);
}

void TerminationSignals::readPending()
{
    unsigned char number = 0;
    while (::read(m_sockets[1], &number, 1) == 1)
        emit Received(number);
}
