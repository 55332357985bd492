// SPDX-License-Identifier: MIT
#pragma once

#include "platform/windows/windows_api.h"

#include <sddl.h>

#include <stdexcept>
#include <string>

namespace pellwick::test {

// A key of one test's own under HKEY_CURRENT_USER\Software, with two keys inside
// that stand in for the machine and the user root. It goes, with everything below
// it, when the object goes.
class ScratchRegistryKey
{
public:
    ScratchRegistryKey()
    {
        LARGE_INTEGER now {};
        QueryPerformanceCounter(&now);
        m_path = L"Software\\PellwickTest-" + std::to_wstring(GetCurrentProcessId()) + L"-"
                 + std::to_wstring(now.QuadPart);
        machine = createKey(HKEY_CURRENT_USER, m_path + L"\\Machine");
        user = createKey(HKEY_CURRENT_USER, m_path + L"\\User");
    }
    ~ScratchRegistryKey()
    {
        if (m_readOnly)
            setAccess(machine, kProgramKey, L"D:(A;OICI;KA;;;WD)");
        RegCloseKey(machine);
        RegCloseKey(user);
        RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, m_path.c_str());
    }
    ScratchRegistryKey(const ScratchRegistryKey &) = delete;
    ScratchRegistryKey &operator=(const ScratchRegistryKey &) = delete;

    // Creates the program's key below the machine root and lets nobody change it
    // from then on, as a machine without administrator rights does.
    void MakeMachineKeyReadOnly()
    {
        RegCloseKey(createKey(machine, kProgramKey));
        if (!setAccess(machine, kProgramKey, L"D:P(A;;KR;;;WD)"))
            throw std::runtime_error("cannot make a scratch key read-only");
        m_readOnly = true;
    }

    HKEY machine = nullptr;
    HKEY user = nullptr;

private:
    static constexpr const wchar_t *kProgramKey = L"Software\\Pellwick";

    static HKEY createKey(HKEY parent, const std::wstring &path)
    {
        HKEY key = nullptr;
        if (RegCreateKeyExW(parent, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr)
            != ERROR_SUCCESS)
            throw std::runtime_error("cannot create a scratch registry key");
        return key;
    }

    // Sets the key's access list from its text form; a key whose list allows no
    // change keeps WRITE_DAC for its owner, so the change can be undone.
    static bool setAccess(HKEY parent, const std::wstring &path, const wchar_t *descriptor)
    {
        PSECURITY_DESCRIPTOR security = nullptr;
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(descriptor, SDDL_REVISION_1,
                                                                  &security, nullptr))
            return false;
        HKEY key = nullptr;
        LONG status = RegOpenKeyExW(parent, path.c_str(), 0, WRITE_DAC, &key);
        if (status == ERROR_SUCCESS) {
            status = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, security);
            RegCloseKey(key);
        }
        LocalFree(security);
        return status == ERROR_SUCCESS;
    }

    std::wstring m_path;
    bool m_readOnly = false;
};

} // namespace pellwick::test
