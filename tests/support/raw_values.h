#pragma once

#include "core/settings/registry.h"

#include <cstdint>
#include <string>

namespace pellwick::test {

// A value as the backend's own calls report it.
struct RawValue
{
    std::int32_t status = -1;
    std::uint32_t type = 0;
    std::string bytes;
};

inline RawValue ReadRaw(RegistryBackend &backend, const std::string &keyPath,
                        const std::string &name)
{
    RawValue raw;
    RegistryKey key = 0;
    raw.status = backend.OpenKey(kHkeyLocalMachine, keyPath, kKeyRead, key);
    if (raw.status != 0)
        return raw;
    std::uint32_t size = 0;
    raw.status = backend.QueryValueInfo(key, name, raw.type, size);
    if (raw.status == 0) {
        raw.bytes.assign(size, '\0');
        raw.status = backend.QueryValueData(
            key, name, raw.type, reinterpret_cast<unsigned char *>(raw.bytes.data()), size);
    }
    backend.CloseKey(key);
    return raw;
}

// Stores bytes of any type, bypassing the Registry layer's two formats.
inline std::int32_t WriteRaw(RegistryBackend &backend, const std::string &keyPath,
                             const std::string &name, std::uint32_t type, const std::string &bytes)
{
    RegistryKey key = 0;
    std::int32_t status = backend.CreateKey(kHkeyLocalMachine, keyPath, kKeyWrite, key);
    if (status == 0) {
        status = backend.SetValue(key, name, type,
                                  reinterpret_cast<const unsigned char *>(bytes.data()),
                                  static_cast<std::uint32_t>(bytes.size()));
        backend.CloseKey(key);
    }
    return status;
}

// Whether the key exists, looked at without creating it.
inline bool KeyExists(RegistryBackend &backend, const std::string &keyPath)
{
    RegistryKey key = 0;
    if (backend.OpenKey(kHkeyLocalMachine, keyPath, kKeyRead, key) != 0)
        return false;
    backend.CloseKey(key);
    return true;
}

} // namespace pellwick::test
