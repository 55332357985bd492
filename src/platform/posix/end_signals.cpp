// SPDX-License-Identifier: MIT
#include "platform/posix/end_signals.h"

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pellwick {

namespace {

// A signal handler can reach nothing but a plain global.
int g_signalPipe[2] = {-1, -1};

extern "C" void onEndSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

constexpr int kEndSignals[] = {SIGTERM, SIGINT, SIGHUP};

} // namespace

EndSignals::EndSignals()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0) {
        g_signalPipe[0] = g_signalPipe[1] = -1;
        return;
    }
    ::fcntl(g_signalPipe[1], F_SETFL, O_NONBLOCK);
    struct sigaction action = {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int sig : kEndSignals)
        ::sigaction(sig, &action, nullptr);
}

EndSignals::~EndSignals()
{
    for (const int sig : kEndSignals)
        std::signal(sig, SIG_DFL);
    for (int &end : g_signalPipe) {
        if (end >= 0)
            ::close(end);
        end = -1;
    }
}

int EndSignals::Descriptor() const
{
    return g_signalPipe[0];
}

void EndSignals::Acknowledge()
{
    char byte = 0;
    [[maybe_unused]] const ssize_t read = ::read(g_signalPipe[0], &byte, 1);
}

} // namespace pellwick
