// SPDX-License-Identifier: MIT
#include "platform/linux/proc_memory.h"

#include "core/text/text.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace pellwick {

namespace {

constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

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
        const std::size_t end = std::min(text.find('\n', at), text.size());
        const std::string_view line = text.substr(at, end - at);
        at = end + 1;
        if (!line.starts_with(key) || line.size() <= key.size() || line[key.size()] != ':')
            continue;
        const auto kib = leadingNumber(TrimStart(line.substr(key.size() + 1), " \t"));
        return kib ? std::optional(times(*kib, 1024)) : std::nullopt;
    }
    return std::nullopt;
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
