// SPDX-License-Identifier: MIT
#include "platform/linux/watch_thread.h"
#include "platform/posix/xdg_autostart.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <string>

namespace pellwick {

namespace {

// Reads every event waiting; true when one of them is about the file `name`.
bool drainEvents(int fd, const std::string &name)
{
    bool changed = false;
    alignas(inotify_event) std::array<char, 8192> buffer;
    for (;;) {
        const ssize_t got = ::read(fd, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return changed;
        for (ssize_t at = 0; at < got;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer.data() + at);
            // The queue ran over: the file may be among what was dropped.
            changed = changed || (event->mask & IN_Q_OVERFLOW) != 0
                      || (event->len > 0 && name == event->name);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

} // namespace

// The folder is watched, not the file: a save replaces the file by a rename
// (which a watch on the file would lose), an editor may write it in place. A
// file is read only once it is complete: closed after writing, or renamed in.
std::unique_ptr<Watch> WatchSettings(std::function<void()> changed)
{
    const std::filesystem::path file = DefaultHivePath();
    const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd >= 0
        && ::inotify_add_watch(fd, file.parent_path().c_str(), IN_CLOSE_WRITE | IN_MOVED_TO) < 0) {
        ::close(fd);
        return nullptr;
    }
    return WatchThread::Start(
        fd, [name = file.filename().string()](int events) { return drainEvents(events, name); },
        std::move(changed));
}

} // namespace pellwick
