#include "platform/linux/proc_memory.h"

#include <algorithm>
#include <charconv>
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

// The decimal number at the start of the text, kept at the largest count when
// it does not fit; nothing when the text does not start with a digit.
std::optional<std::uint64_t> leadingNumber(std::string_view text)
{
    std::uint64_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error == std::errc::result_out_of_range)
        return kMax;
    return error == std::errc() ? std::optional(number) : std::nullopt;
}

std::uint64_t times(std::uint64_t count, std::uint64_t unit)
{
    return unit != 0 && count > kMax / unit ? kMax : count * unit;
}

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
        const auto kib = leadingNumber(line.substr(i));
        return kib ? std::optional(times(*kib, 1024)) : std::nullopt;
    }
    return std::nullopt;
}

std::uint64_t ProcessAddressSpace(std::optional<std::uint64_t> addressSpaceLimit)
{
    return addressSpaceLimit ? *addressSpaceLimit : kUserAddressSpace;
}

MemStatus MemStatusFromProc(std::string_view meminfo, std::string_view statm,
                            std::uint64_t pageSize, std::uint64_t addressSpace)
{
    MemStatus status;
    status.totalPhysical = ProcKilobyteField(meminfo, "MemTotal").value_or(0);
    auto available = ProcKilobyteField(meminfo, "MemAvailable");
    if (!available)
        available = ProcKilobyteField(meminfo, "MemFree");
    status.availablePhysical = std::min(available.value_or(0), status.totalPhysical);

    const std::uint64_t used = times(leadingNumber(statm).value_or(0), pageSize);
    status.totalVirtual = addressSpace;
    status.availableVirtual = used < addressSpace ? addressSpace - used : 0;
    return status;
}

} // namespace pellwick
