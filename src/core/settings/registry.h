#pragma once

#include "core/settings/registry_backend.h"
#include "core/settings/registry_types.h"

#include <cstdint>
#include <exception>
#include <string>

namespace pellwick {

// The one error the layer raises: QueryValueEx could not even learn a value's type.
class RegistryError : public std::exception
{
public:
    RegistryError(std::int32_t number, std::string description);

    std::int32_t Number() const noexcept { return m_number; }
    const std::string &Description() const noexcept { return m_description; }
    const char *what() const noexcept override { return m_description.c_str(); }

private:
    std::int32_t m_number;
    std::string m_description;
};

// 0x80040201 read as a signed 32-bit number.
inline constexpr std::int32_t kInvalidRegistryKeyNameError = -2147220991;

// The program's only road to the registry: every call names root, key path and
// value name afresh, opens its own key and closes it again; nothing is kept
// between calls. Statuses are Windows error codes that callers may ignore.
class Registry
{
public:
    explicit Registry(RegistryBackend &backend);

    // Creates the key (and its parents) when missing and writes one value.
    std::int32_t SetKeyValue(RegistryRoot root, const std::string &keyPath,
                             const std::string &valueName, const RegistryValue &value,
                             std::uint32_t valueType);
    // The stored value, or `defaultValue` whenever none can be delivered. Never
    // creates a key and never throws.
    RegistryValue QueryValue(RegistryRoot root, const std::string &keyPath,
                             const std::string &valueName, const RegistryValue &defaultValue);
    // Creates the key when missing (left empty) and deletes one value; a missing
    // value gives 2.
    std::int32_t DeleteValue(RegistryRoot root, const std::string &keyPath,
                             const std::string &valueName);

    // Writes one value into an open key: REG_SZ as its text form plus one NUL,
    // REG_DWORD as 4 little-endian bytes; any other type writes nothing and gives 0.
    std::int32_t SetValueEx(RegistryKey key, const std::string &valueName, std::uint32_t valueType,
                            const RegistryValue &value);
    // Reads one REG_SZ or REG_DWORD value of an open key into `value`; 0 when it
    // delivered one. Throws RegistryError when the value's type cannot be learnt
    // (a missing value, above all); `keyPath` only words that error.
    std::int32_t QueryValueEx(RegistryKey key, const std::string &valueName, RegistryValue &value,
                              const std::string &keyPath);

private:
    RegistryBackend &m_backend;
};

} // namespace pellwick
