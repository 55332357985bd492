#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <variant>

namespace pellwick {

// A predefined root key, as the registry numbers it. The program names only the
// machine root; on Windows, writes the machine refuses go to the user root.
using RegistryRoot = std::uint32_t;
inline constexpr RegistryRoot kHkeyCurrentUser = 0x80000001;
inline constexpr RegistryRoot kHkeyLocalMachine = 0x80000002;

// An open key of a backend; 0 is never a valid one.
using RegistryKey = std::uintptr_t;

// Registry type codes.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;

// Access rights asked for when a key is opened or created.
inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kKeyWrite = 0x20006;

// A value as the program handles it: empty, a text (bytes in the system's 8-bit
// code page) or a 32-bit signed integer.
using RegistryValue = std::variant<std::monostate, std::string, std::int32_t>;

// Statuses are Windows error codes, so that both backends report alike.
inline constexpr std::int32_t kErrorSuccess = 0;
inline constexpr std::int32_t kErrorFileNotFound = 2;
inline constexpr std::int32_t kErrorAccessDenied = 5;
inline constexpr std::int32_t kErrorInvalidHandle = 6;
inline constexpr std::int32_t kErrorNotEnoughMemory = 8;
inline constexpr std::int32_t kErrorInvalidData = 13;
inline constexpr std::int32_t kErrorWriteFault = 29;
inline constexpr std::int32_t kErrorReadFault = 30;
inline constexpr std::int32_t kErrorInvalidParameter = 87;
inline constexpr std::int32_t kErrorDiskFull = 112;
inline constexpr std::int32_t kErrorBadPathname = 161;
inline constexpr std::int32_t kErrorBadFileType = 222;
inline constexpr std::int32_t kErrorFileTooLarge = 223;
inline constexpr std::int32_t kErrorMoreData = 234;
inline constexpr std::int32_t kErrorBadDb = 1009;
inline constexpr std::int32_t kErrorUnsupportedType = 1630;

// How a write of the store ended: status 0, or a Windows error code and one line
// for the user that names what could not be written and why.
struct StoreResult
{
    std::int32_t status = kErrorSuccess;
    std::string message;

    bool Failed() const { return status != kErrorSuccess; }
};

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

    // From here until CommitChanges, changes may be held back and written as one.
    // A store that writes every change at once keeps these two as they are.
    virtual void BeginChanges() { }
    virtual StoreResult CommitChanges() { return {}; }
};

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

    // The calls between these two reach the store as one write: a crash leaves
    // all of them or none, and each call still returns its own status.
    // CommitBatch tells whether the write reached the store.
    void BeginBatch();
    StoreResult CommitBatch();

private:
    RegistryBackend &m_backend;
};

// A value's text form: a text as it is, an integer as its decimal digits, the
// empty value as the empty text.
std::string ValueText(const RegistryValue &value);

} // namespace pellwick
