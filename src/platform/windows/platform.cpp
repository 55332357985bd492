// SPDX-License-Identifier: MIT
#include "platform/platform.h"

#include "platform/windows/registry_store.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_api.h"

namespace pellwick {

std::unique_ptr<SettingsStore> OpenSettingsStore(std::string_view keyPath)
{
    return std::make_unique<RegistryStore>(keyPath);
}

std::unique_ptr<Autostart> MakePlatformAutostart(const std::string &programFolder,
                                                 const std::string &)
{
    // The entry's failures are silent.
    return std::make_unique<RunKeyAutostart>(
        std::make_unique<RegistryStore>(RunKeyAutostart::kRunKey, [](const std::string &) {}),
        programFolder);
}

std::string HostName()
{
    DWORD size = 0;
    GetComputerNameExW(ComputerNameDnsFullyQualified, nullptr, &size);
    std::wstring name(size, L'\0');
    if (size == 0 || !GetComputerNameExW(ComputerNameDnsFullyQualified, name.data(), &size))
        return {};
    name.resize(size);
    return Narrow(name);
}

LocalTime CurrentLocalTime()
{
    const std::time_t now = std::time(nullptr);
    LocalTime local;
    localtime_s(&local.fields, &now);
    std::tm utc {};
    gmtime_s(&utc, &now);
    utc.tm_isdst = local.fields.tm_isdst;
    local.utcOffsetSeconds
        = static_cast<long>(std::difftime(std::mktime(&local.fields), std::mktime(&utc)));
    return local;
}

namespace {

MemStatus readMemoryStatus()
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

} // namespace

MemoryReader PlatformMemoryReader()
{
    // One call answers it all; nothing is worth keeping between readings.
    return readMemoryStatus;
}

// Windows has no service manager listening and no journal reading the lines.
void NotifyServiceManager(std::string_view) { }

MessageLines PlatformMessageLines()
{
    return {};
}

} // namespace pellwick
