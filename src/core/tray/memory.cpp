// SPDX-License-Identifier: MIT
#include "core/tray/memory.h"

#include "core/text/text.h"

#include <limits>
#include <string_view>

namespace pellwick {

std::string KilobyteText(std::uint64_t bytes)
{
    // Whole-number arithmetic instead of a double division: exact for every count.
    return std::to_string(RoundHalfToEven(bytes / 1000, bytes % 1000, 1000)) + "KB";
}

std::uint32_t AvailablePercent(std::uint64_t available, std::uint64_t total)
{
    if (total == 0)
        return 0;
    if (available > total)
        available = total;
    // Keep available * 100 inside 64 bits; only absurd totals lose any precision.
    while (total > std::numeric_limits<std::uint64_t>::max() / 100) {
        total >>= 7;
        available >>= 7;
    }
    const std::uint64_t scaled = available * 100;
    return static_cast<std::uint32_t>(RoundHalfToEven(scaled / total, scaled % total, total));
}

std::string PercentText(std::uint64_t available, std::uint64_t total)
{
    return "%" + std::to_string(AvailablePercent(available, total));
}

namespace {

std::string memoryLine(std::string_view kind, std::uint64_t available, std::uint64_t total)
{
    return PercentText(available, total) + " " + std::string(kind) + " Mem Available. ("
           + KilobyteText(available) + " of " + KilobyteText(total) + ")";
}

} // namespace

std::string PhysicalMemoryLine(const MemStatus &s)
{
    return memoryLine("Physical", s.availablePhysical, s.totalPhysical);
}

std::string VirtualMemoryLine(const MemStatus &s)
{
    return memoryLine("Virtual", s.availableVirtual, s.totalVirtual);
}

} // namespace pellwick
