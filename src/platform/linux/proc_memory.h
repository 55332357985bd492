// SPDX-License-Identifier: MIT
#pragma once

#include "core/tray/memory.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace pellwick {

// The figures that Linux gives as text in /proc/meminfo and /proc/self/statm,
// taken apart here without touching any file so that every shape can be tested.

// The value of the line "<key>: <number> kB" in bytes (/proc counts in units of
// 1024 bytes); nothing when the line is missing or holds no number.
std::optional<std::uint64_t> ProcKilobyteField(std::string_view text, std::string_view key);

// The snapshot from /proc/meminfo (MemTotal, MemAvailable or else MemFree) and the
// first field of /proc/self/statm (pages in use: VmSize at a fraction of the cost);
// virtual available is `addressSpace` minus the size in use, never below 0.
MemStatus MemStatusFromProc(std::string_view meminfo, std::string_view statm,
                            std::uint64_t pageSize, std::uint64_t addressSpace);

} // namespace pellwick
