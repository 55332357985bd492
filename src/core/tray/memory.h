// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace pellwick {

// One snapshot of the machine's memory figures, in bytes. The counts are 64-bit so
// that machines with more than 4 GB show their true figures.
struct MemStatus
{
    std::uint64_t totalPhysical = 0, availablePhysical = 0, totalVirtual = 0, availableVirtual = 0;
};

// Thousands of bytes, rounded to the nearest whole number (an exact half to the
// even neighbour), in plain digits followed by "KB".
std::string KilobyteText(std::uint64_t bytes);

// The available share of the total in whole per cent, 0 to 100: the nearest whole
// number, an exact half to the even neighbour. A zero total gives 0.
std::uint32_t AvailablePercent(std::uint64_t available, std::uint64_t total);

// "%" followed by the digits of AvailablePercent, "%0" to "%100".
std::string PercentText(std::uint64_t available, std::uint64_t total);

// Reads the machine's memory figures.
using MemoryReader = std::function<MemStatus()>;

// The About-tab captions of PhysicalMemory and VirtualMemory.
std::string PhysicalMemoryLine(const MemStatus &s);
std::string VirtualMemoryLine(const MemStatus &s);

} // namespace pellwick
