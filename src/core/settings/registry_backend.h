#pragma once

#include "core/settings/registry_types.h"

#include <cstdint>
#include <string>

namespace pellwick {

// A hierarchical store shaped like the registry's single-byte-character calls, so
// that the Registry layer reads the same on the Windows registry and on the hive
// file. Every call returns a Windows error code (0 for success).
class RegistryBackend
{
public:
    virtual ~RegistryBackend() = default;

    // RegCreateKeyExA: opens the key, creating it and any missing parent first.
    virtual std::int32_t CreateKey(RegistryRoot root, const std::string &keyPath,
                                   std::uint32_t access, RegistryKey &key)
        = 0;
    // RegOpenKeyExA: opens an existing key; a missing one gives 2 and is not created.
    virtual std::int32_t OpenKey(RegistryRoot root, const std::string &keyPath,
                                 std::uint32_t access, RegistryKey &key)
        = 0;
    // RegQueryValueExA without a buffer: the value's type and its size in bytes.
    virtual std::int32_t QueryValueInfo(RegistryKey key, const std::string &valueName,
                                        std::uint32_t &type, std::uint32_t &size)
        = 0;
    // RegQueryValueExA with a buffer of `size` bytes. On return `size` holds the
    // value's size; a value larger than the buffer gives 234 (more data).
    virtual std::int32_t QueryValueData(RegistryKey key, const std::string &valueName,
                                        std::uint32_t &type, unsigned char *data,
                                        std::uint32_t &size)
        = 0;
    // RegSetValueExA: stores `size` bytes under the value name with the type.
    virtual std::int32_t SetValue(RegistryKey key, const std::string &valueName, std::uint32_t type,
                                  const unsigned char *data, std::uint32_t size)
        = 0;
    // RegDeleteValueA: a missing value gives 2.
    virtual std::int32_t DeleteValue(RegistryKey key, const std::string &valueName) = 0;
    // RegCloseKey.
    virtual std::int32_t CloseKey(RegistryKey key) = 0;
};

} // namespace pellwick
