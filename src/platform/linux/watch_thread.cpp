// SPDX-License-Identifier: MIT
#include "platform/linux/watch_thread.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace pellwick {

std::unique_ptr<Watch> WatchThread::Start(int fd, Drain drain, std::function<void()> changed)
{
    std::array<int, 2> stop {-1, -1};
    if (fd < 0 || ::pipe2(stop.data(), O_CLOEXEC) != 0) {
        if (fd >= 0)
            ::close(fd);
        return nullptr;
    }
    return std::make_unique<WatchThread>(fd, stop, std::move(drain), std::move(changed));
}

WatchThread::WatchThread(int fd, std::array<int, 2> stop, Drain drain,
                         std::function<void()> changed)
    : m_fd(fd)
    , m_stop(stop)
    , m_drain(std::move(drain))
    , m_changed(std::move(changed))
    , m_thread([this] { run(); })
{
}

WatchThread::~WatchThread()
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_stop[1], &byte, 1);
    m_thread.join();
    for (const int fd : {m_fd, m_stop[0], m_stop[1]})
        ::close(fd);
}

void WatchThread::run()
{
    for (;;) {
        std::array<pollfd, 2> waits {{{m_fd, POLLIN, 0}, {m_stop[0], POLLIN, 0}}};
        if (::poll(waits.data(), waits.size(), -1) < 0 && errno != EINTR)
            return;
        if (waits[1].revents != 0)
            return;
        if (waits[0].revents != 0 && m_drain(m_fd))
            m_changed();
    }
}

} // namespace pellwick
