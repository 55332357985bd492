#include "platform/linux/proc_memory.h"

#include <algorithm>
#include <limits>

namespace pellwick {

namespace {

constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

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

} // namespace

std::optional<std::uint64_t> ProcKilobyteField(std::string_view text, std::string_view key)
{
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(at, end - at);
        at = end + 1;
        if (line.size() <= key.size() || line.substr(0, key.size()) != key
            || line[key.size()] != ':')
            continue;
        std::size_t i = key.size() + 1;
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i == line.size() || line[i] < '0' || line[i] > '9')
            return std::nullopt;
        std::uint64_t kib = 0;
        for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
            const auto digit = static_cast<std::uint64_t>(line[i] - '0');
            if (kib > (kMax - digit) / 10)
                return kMax;
            kib = kib * 10 + digit;
        }
        return kib > kMax / 1024 ? kMax : kib * 1024;
    }
    return std::nullopt;
}

std::uint64_t ProcessAddressSpace(std::optional<std::uint64_t> addressSpaceLimit)
{
    return addressSpaceLimit ? *addressSpaceLimit : kUserAddressSpace;
}

MemStatus MemStatusFromProc(std::string_view meminfo, std::string_view selfStatus,
                            std::uint64_t addressSpace)
{
    MemStatus status;
    status.dwTotalPhys = ProcKilobyteField(meminfo, "MemTotal").value_or(0);
    auto available = ProcKilobyteField(meminfo, "MemAvailable");
    if (!available)
        available = ProcKilobyteField(meminfo, "MemFree");
    status.dwAvailPhys = std::min(available.value_or(0), status.dwTotalPhys);

    const std::uint64_t used = ProcKilobyteField(selfStatus, "VmSize").value_or(0);
    status.dwTotalVirtual = addressSpace;
    status.dwAvailVirtual = used < addressSpace ? addressSpace - used : 0;
    return status;
}

} // namespace pellwick
