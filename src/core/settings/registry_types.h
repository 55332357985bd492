#pragma once

#include <cstdint>
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
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;

// Access rights asked for when a key is opened or created.
inline constexpr std::uint32_t kKeyQueryValue = 0x0001;
inline constexpr std::uint32_t kKeySetValue = 0x0002;
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
inline constexpr std::int32_t kErrorMoreData = 234;
inline constexpr std::int32_t kErrorBadDb = 1009;
inline constexpr std::int32_t kErrorUnsupportedType = 1630;

} // namespace pellwick
