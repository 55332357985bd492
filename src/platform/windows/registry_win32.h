#pragma once

#include "core/settings/registry.h"

namespace pellwick {

// The Windows registry through its single-byte-character calls; texts travel in
// the system's ANSI code page. Key handles are the registry's own.
class Win32Registry : public RegistryBackend
{
public:
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
};

} // namespace pellwick
