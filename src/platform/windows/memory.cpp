#include "platform/memory_status.h"

#include <windows.h>

namespace pellwick {

MemStatus ReadPlatformMemoryStatus()
{
    MEMORYSTATUSEX platform {};
    platform.dwLength = sizeof platform;
    MemStatus status;
    if (!GlobalMemoryStatusEx(&platform))
        return status;
    status.dwMemoryLoad = platform.dwMemoryLoad;
    status.dwTotalPhys = platform.ullTotalPhys;
    status.dwAvailPhys = platform.ullAvailPhys;
    status.dwTotalPageFile = platform.ullTotalPageFile;
    status.dwAvailPageFile = platform.ullAvailPageFile;
    status.dwTotalVirtual = platform.ullTotalVirtual;
    status.dwAvailVirtual = platform.ullAvailVirtual;
    return status;
}

} // namespace pellwick
