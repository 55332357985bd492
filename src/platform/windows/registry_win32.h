#pragma once

#include "core/settings/registry.h"

#include <cstdint>

namespace pellwick {

// The Windows registry through its W entry points. Key paths, value names and the
// data of text values (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) arrive as UTF-8 and are
// stored as UTF-16, so what another program reads through the A entry points is
// the same text in its own code page. Other data is stored as it comes.
class Win32Registry : public RegistryBackend
{
public:
    // The machine and user roots are HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER, or
    // any open keys put in their place (tests use keys of their own making).
    Win32Registry();
    Win32Registry(std::uintptr_t machineRoot, std::uintptr_t userRoot);

    std::int32_t CreateKey(RegistryRoot root, const std::string &keyPath, std::uint32_t access,
                           RegistryKey &key) override;
    std::int32_t OpenKey(RegistryRoot root, const std::string &keyPath, std::uint32_t access,
                         RegistryKey &key) override;
    std::int32_t QueryValueInfo(RegistryKey key, const std::string &valueName, std::uint32_t &type,
                                std::uint32_t &size) override;
    std::int32_t QueryValueData(RegistryKey key, const std::string &valueName, std::uint32_t &type,
                                unsigned char *data, std::uint32_t &size) override;
    std::int32_t SetValue(RegistryKey key, const std::string &valueName, std::uint32_t type,
                          const unsigned char *data, std::uint32_t size) override;
    std::int32_t DeleteValue(RegistryKey key, const std::string &valueName) override;
    std::int32_t CloseKey(RegistryKey key) override;

private:
    std::uintptr_t rootHandle(RegistryRoot root) const;

    std::uintptr_t m_machineRoot;
    std::uintptr_t m_userRoot;
};

} // namespace pellwick
