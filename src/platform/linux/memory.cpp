#include "platform/linux/proc_memory.h"
#include "platform/memory_status.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <array>
#include <optional>
#include <string_view>

namespace pellwick {

namespace {

// Reads a small /proc file into the buffer with plain system calls, as this runs on
// every timer tick. A file longer than the buffer loses only its last lines, and
// the figures wanted here stand near the top. A missing file gives the empty text.
template<std::size_t N>
std::string_view readProcFile(const char *path, std::array<char, N> &buffer)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    std::size_t filled = 0;
    while (filled < buffer.size()) {
        const ssize_t got = ::read(fd, buffer.data() + filled, buffer.size() - filled);
        if (got <= 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    ::close(fd);
    return {buffer.data(), filled};
}

std::optional<std::uint64_t> addressSpaceLimit()
{
    rlimit limit {};
    if (::getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return std::nullopt;
    return static_cast<std::uint64_t>(limit.rlim_cur);
}

} // namespace

MemStatus ReadPlatformMemoryStatus()
{
    std::array<char, 8192> meminfo;
    std::array<char, 4096> selfStatus;
    return MemStatusFromProc(readProcFile("/proc/meminfo", meminfo),
                             readProcFile("/proc/self/status", selfStatus),
                             ProcessAddressSpace(addressSpaceLimit()));
}

} // namespace pellwick
