#pragma once

#include "platform/windows/windows_api.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pellwick::test {

// A key of one test's own under HKEY_CURRENT_USER\Software\PellwickTests, with two
// keys inside that stand in for the machine and the user root. It goes, with
// everything below it, when the object goes.
class ScratchRegistryKey
{
public:
    ScratchRegistryKey();
    ~ScratchRegistryKey();
    ScratchRegistryKey(const ScratchRegistryKey &) = delete;
    ScratchRegistryKey &operator=(const ScratchRegistryKey &) = delete;

    std::uintptr_t MachineRoot() const { return reinterpret_cast<std::uintptr_t>(m_machine); }
    std::uintptr_t UserRoot() const { return reinterpret_cast<std::uintptr_t>(m_user); }

    // Creates the key below the machine root and lets nobody change it from then
    // on, as a machine without administrator rights does.
    void MakeMachineKeyReadOnly(const std::wstring &keyPath);

private:
    std::wstring m_path;
    HKEY m_machine = nullptr;
    HKEY m_user = nullptr;
    std::vector<std::wstring> m_readOnly;
};

} // namespace pellwick::test
