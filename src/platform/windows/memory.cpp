// SPDX-License-Identifier: MIT
#include "platform/platform.h"

#include <windows.h>

namespace pellwick {

MemStatus ReadPlatformMemoryStatus()
{
    MEMORYSTATUSEX platform {};
    platform.dwLength = sizeof platform;
    MemStatus status;
    if (!GlobalMemoryStatusEx(&platform))
        return status;
    status.totalPhysical = platform.ullTotalPhys;
    status.availablePhysical = platform.ullAvailPhys;
    status.totalVirtual = platform.ullTotalVirtual;
    status.availableVirtual = platform.ullAvailVirtual;
    return status;
}

MemoryReader PlatformMemoryReader()
{
    // One call answers it all; nothing is worth keeping between readings.
    return ReadPlatformMemoryStatus;
}

} // namespace pellwick
