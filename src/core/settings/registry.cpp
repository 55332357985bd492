#include "core/settings/registry.h"

#include "core/text/text.h"

#include <array>
#include <limits>
#include <utility>

namespace pellwick {

namespace {

std::array<unsigned char, 4> littleEndian(std::int32_t number)
{
    const auto bits = static_cast<std::uint32_t>(number);
    return {static_cast<unsigned char>(bits), static_cast<unsigned char>(bits >> 8),
            static_cast<unsigned char>(bits >> 16), static_cast<unsigned char>(bits >> 24)};
}

std::int32_t fromLittleEndian(const std::array<unsigned char, 4> &bytes)
{
    const std::uint32_t bits = std::uint32_t {bytes[0]} | std::uint32_t {bytes[1]} << 8
                               | std::uint32_t {bytes[2]} << 16 | std::uint32_t {bytes[3]} << 24;
    return static_cast<std::int32_t>(bits);
}

// The 32-bit number a value stands for when it is stored as REG_DWORD. Callers
// pass integers; a text only counts when it is a number that fits.
std::optional<std::int32_t> dwordOf(const RegistryValue &value)
{
    if (const auto *number = std::get_if<std::int32_t>(&value))
        return *number;
    if (std::holds_alternative<std::monostate>(value))
        return 0;
    const auto parsed = ParseWholeNumber(std::get<std::string>(value));
    if (!parsed || *parsed < std::numeric_limits<std::int32_t>::min()
        || *parsed > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(*parsed);
}

} // namespace

std::string ValueText(const RegistryValue &value)
{
    if (const auto *text = std::get_if<std::string>(&value))
        return *text;
    if (const auto *number = std::get_if<std::int32_t>(&value))
        return std::to_string(*number);
    return {};
}

RegistryError::RegistryError(std::int32_t number, std::string description)
    : m_number(number)
    , m_description(std::move(description))
{
}

Registry::Registry(RegistryBackend &backend)
    : m_backend(backend)
{
}

std::int32_t Registry::SetKeyValue(RegistryRoot root, const std::string &keyPath,
                                   const std::string &valueName, const RegistryValue &value,
                                   std::uint32_t valueType)
{
    RegistryKey key = 0;
    std::int32_t status = m_backend.CreateKey(root, keyPath, kKeyWrite, key);
    if (status == kErrorSuccess) {
        status = SetValueEx(key, valueName, valueType, value);
        m_backend.CloseKey(key);
    }
    return status;
}

RegistryValue Registry::QueryValue(RegistryRoot root, const std::string &keyPath,
                                   const std::string &valueName, const RegistryValue &defaultValue)
{
    RegistryKey key = 0;
    bool opened = false;
    try {
        RegistryValue value;
        std::int32_t status = m_backend.OpenKey(root, keyPath, kKeyRead, key);
        if (status == kErrorSuccess) {
            opened = true;
            status = QueryValueEx(key, valueName, value, keyPath);
        }
        if (opened) {
            opened = false;
            m_backend.CloseKey(key);
        }
        return status == kErrorSuccess ? value : defaultValue;
    } catch (...) {
        // Whatever went wrong, the caller gets its default and the key is not left open.
        if (opened) {
            try {
                m_backend.CloseKey(key);
            } catch (...) {
            }
        }
        return defaultValue;
    }
}

std::int32_t Registry::DeleteValue(RegistryRoot root, const std::string &keyPath,
                                   const std::string &valueName)
{
    RegistryKey key = 0;
    std::int32_t status = m_backend.CreateKey(root, keyPath, kKeyWrite, key);
    if (status == kErrorSuccess) {
        status = m_backend.DeleteValue(key, valueName);
        m_backend.CloseKey(key);
    }
    return status;
}

void Registry::BeginBatch()
{
    m_backend.BeginChanges();
}

StoreResult Registry::CommitBatch()
{
    return m_backend.CommitChanges();
}

std::int32_t Registry::SetValueEx(RegistryKey key, const std::string &valueName,
                                  std::uint32_t valueType, const RegistryValue &value)
{
    if (valueType == kRegSz) {
        const std::string text = ValueText(value);
        // c_str() supplies the terminating NUL that is stored with the text.
        return m_backend.SetValue(key, valueName, kRegSz,
                                  reinterpret_cast<const unsigned char *>(text.c_str()),
                                  static_cast<std::uint32_t>(text.size() + 1));
    }
    if (valueType == kRegDword) {
        const auto number = dwordOf(value);
        if (!number)
            return kErrorInvalidParameter;
        const auto bytes = littleEndian(*number);
        return m_backend.SetValue(key, valueName, kRegDword, bytes.data(), 4);
    }
    return kErrorSuccess;
}

std::int32_t Registry::QueryValueEx(RegistryKey key, const std::string &valueName,
                                    RegistryValue &value, const std::string &keyPath)
{
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (m_backend.QueryValueInfo(key, valueName, type, size) != kErrorSuccess)
        throw RegistryError(kInvalidRegistryKeyNameError,
                            "Registry.QueryValueEx  Invalid Registry Key Name in: " + keyPath + "\\"
                                + valueName);

    value = std::monostate {};
    std::uint32_t secondType = 0;
    if (type == kRegSz) {
        if (size == 0)
            return kErrorInvalidData;
        std::string buffer(size, '\0');
        std::uint32_t got = size;
        const std::int32_t status = m_backend.QueryValueData(
            key, valueName, secondType, reinterpret_cast<unsigned char *>(buffer.data()), got);
        if (status != kErrorSuccess)
            return status;
        // A value that changed size since the first look is not the one that was sized.
        if (got != size)
            return kErrorInvalidData;
        if (!buffer.empty() && buffer.back() == '\0')
            buffer.pop_back();
        value = std::move(buffer);
        return kErrorSuccess;
    }
    if (type == kRegDword) {
        std::array<unsigned char, 4> bytes {};
        std::uint32_t got = 4;
        const std::int32_t status
            = m_backend.QueryValueData(key, valueName, secondType, bytes.data(), got);
        if (status != kErrorSuccess)
            return status;
        if (got != size)
            return kErrorInvalidData;
        value = fromLittleEndian(bytes);
        return kErrorSuccess;
    }
    return kErrorUnsupportedType;
}

} // namespace pellwick
