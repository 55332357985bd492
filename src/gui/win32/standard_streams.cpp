#include "gui/win32/standard_streams.h"

#include "gui/win32/win32_api.h"

#include <cstdio>

namespace pellwick {

namespace {

bool hasHandle(DWORD which)
{
    HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

} // namespace

bool ConnectStandardStreams()
{
    if (hasHandle(STD_OUTPUT_HANDLE))
        return true;
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return false;
    // The C library set its streams up before the console was there.
    return std::freopen("CONOUT$", "w", stdout) != nullptr
           && (hasHandle(STD_ERROR_HANDLE) || std::freopen("CONOUT$", "w", stderr) != nullptr);
}

} // namespace pellwick
