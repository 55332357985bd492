// SPDX-License-Identifier: MIT
#include "platform/platform.h"

#include "platform/windows/wide_text.h"
#include "platform/windows/windows_api.h"

namespace pellwick {

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

} // namespace pellwick
