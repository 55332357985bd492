// SPDX-License-Identifier: MIT
#pragma once

#include "platform/platform.h"

#include <array>
#include <functional>
#include <memory>
#include <thread>

namespace pellwick {

// A descriptor of notices (netlink, inotify) read by a thread of its own that
// sleeps in poll() between them. `drain` reads every notice waiting from the
// non-blocking descriptor and tells whether one of them matters; `changed` is
// then called, once per burst. The descriptor is closed with the object.
class WatchThread final : public Watch
{
public:
    using Drain = std::function<bool(int fd)>;

    // Nullptr, the descriptor closed, when `fd` is none or the thread's stop
    // pipe cannot be made.
    static std::unique_ptr<Watch> Start(int fd, Drain drain, std::function<void()> changed);

    WatchThread(int fd, std::array<int, 2> stop, Drain drain, std::function<void()> changed);
    ~WatchThread() override;
    WatchThread(const WatchThread &) = delete;
    WatchThread &operator=(const WatchThread &) = delete;

private:
    void run();

    int m_fd;
    std::array<int, 2> m_stop;
    Drain m_drain;
    std::function<void()> m_changed;
    std::thread m_thread;
};

} // namespace pellwick
