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

// The snapshot from the text of /proc/meminfo (MemTotal and MemAvailable; MemFree on
// kernels without MemAvailable) and of /proc/self/statm (its first field, the pages
// of `pageSize` bytes in use: the VmSize of /proc/self/status, which costs far more
// to read), with the size of the address space: virtual available is that size
// minus the size in use, never below 0.
MemStatus MemStatusFromProc(std::string_view meminfo, std::string_view statm,
                            std::uint64_t pageSize, std::uint64_t addressSpace);

} // namespace pellwick
