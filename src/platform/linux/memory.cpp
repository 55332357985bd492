// SPDX-License-Identifier: MIT
#include "platform/linux/proc_memory.h"
#include "platform/platform.h"
#include "platform/posix/file_descriptor.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <array>
#include <memory>
#include <string_view>

namespace pellwick {

namespace {

// A small /proc file, made whole when read from its start, comes in one call when
// it fits the buffer; a longer one loses its last lines, never part of one (the
// figures wanted stand near the top). A file not open reads as empty.
template<std::size_t N>
std::string_view readProcFile(const FileDescriptor &file, std::array<char, N> &buffer)
{
    if (file.get() < 0)
        return {};
    const ssize_t got = ::pread(file.get(), buffer.data(), buffer.size(), 0);
    if (got <= 0)
        return {};
    const std::string_view text(buffer.data(), static_cast<std::size_t>(got));
    return text.size() < buffer.size() ? text : text.substr(0, text.rfind('\n') + 1);
}

// The user half of the virtual address space: 47 bits on x86-64 (128 TiB), 48 bits
// on 64-bit ARM (256 TiB), 3 GiB on 32-bit systems.
constexpr std::uint64_t kUserAddressSpace =
#if defined(__x86_64__) || defined(_M_X64)
    std::uint64_t {1} << 47;
#elif defined(__aarch64__) || defined(_M_ARM64)
    std::uint64_t {1} << 48;
#else
    sizeof(void *) == 4 ? std::uint64_t {3} << 30 : std::uint64_t {1} << 47;
#endif

// The size of this process's address space: the RLIMIT_AS soft limit when one is
// set, else the user address space of the architecture.
std::uint64_t addressSpace()
{
    rlimit limit {};
    if (::getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return kUserAddressSpace;
    return static_cast<std::uint64_t>(limit.rlim_cur);
}

// The two files stay open between readings: opening and closing them took most
// of a timer tick.
class ProcMemoryFiles
{
public:
    MemStatus Read() const
    {
        std::array<char, 4096> meminfo;
        std::array<char, 256> statm;
        return MemStatusFromProc(readProcFile(m_meminfo, meminfo), readProcFile(m_statm, statm),
                                 m_pageSize, addressSpace());
    }

private:
    FileDescriptor m_meminfo {::open("/proc/meminfo", O_RDONLY | O_CLOEXEC)};
    FileDescriptor m_statm {::open("/proc/self/statm", O_RDONLY | O_CLOEXEC)};
    std::uint64_t m_pageSize = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
};

} // namespace

MemoryReader PlatformMemoryReader()
{
    auto files = std::make_shared<const ProcMemoryFiles>();
    return [files] {
        return files->Read();
    };
}

} // namespace pellwick
