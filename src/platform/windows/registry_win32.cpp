#include "platform/windows/registry_win32.h"

#include "platform/windows/wide_text.h"
#include "platform/windows/windows_api.h"

#include <cstring>
#include <vector>

namespace pellwick {

namespace {

// Predefined roots are negative 32-bit numbers widened to a handle, so 0x80000002
// must be sign-extended on 64-bit Windows.
std::uintptr_t predefinedRoot(RegistryRoot root)
{
    return static_cast<std::uintptr_t>(static_cast<LONG_PTR>(static_cast<LONG>(root)));
}

HKEY handleOf(std::uintptr_t key)
{
    return reinterpret_cast<HKEY>(key);
}

bool isText(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// The whole stored value; a value that grows between the two calls is read again.
LONG readStored(HKEY key, const std::wstring &name, DWORD &type, std::vector<BYTE> &bytes)
{
    for (;;) {
        DWORD size = 0;
        LONG status = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
        if (status != ERROR_SUCCESS)
            return status;
        bytes.resize(size);
        status = RegQueryValueExW(key, name.c_str(), nullptr, &type, bytes.data(), &size);
        if (status == ERROR_MORE_DATA)
            continue;
        bytes.resize(size);
        return status;
    }
}

// The stored bytes as the program holds them: text types in UTF-8 (a stray odd
// byte at the end cannot be a UTF-16 character and is left out), others as stored.
std::string programBytes(DWORD type, const std::vector<BYTE> &stored)
{
    if (!isText(type))
        return {stored.begin(), stored.end()};
    std::wstring wide(stored.size() / 2, L'\0');
    std::memcpy(wide.data(), stored.data(), wide.size() * sizeof(wchar_t));
    return Narrow(wide);
}

} // namespace

Win32Registry::Win32Registry()
    : Win32Registry(predefinedRoot(kHkeyLocalMachine), predefinedRoot(kHkeyCurrentUser))
{
}

Win32Registry::Win32Registry(std::uintptr_t machineRoot, std::uintptr_t userRoot)
    : m_machineRoot(machineRoot)
    , m_userRoot(userRoot)
{
}

std::uintptr_t Win32Registry::rootHandle(RegistryRoot root) const
{
    if (root == kHkeyLocalMachine)
        return m_machineRoot;
    if (root == kHkeyCurrentUser)
        return m_userRoot;
    return predefinedRoot(root);
}

std::int32_t Win32Registry::CreateKey(RegistryRoot root, const std::string &keyPath,
                                      std::uint32_t access, RegistryKey &key)
{
    // Zero-filled: no descriptor, so a new key gets its parent's default security.
    SECURITY_ATTRIBUTES security {};
    HKEY opened = nullptr;
    DWORD disposition = 0;
    const LONG status = RegCreateKeyExW(
        handleOf(rootHandle(root)), Widen(keyPath).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
        static_cast<REGSAM>(access), &security, &opened, &disposition);
    key = status == ERROR_SUCCESS ? reinterpret_cast<RegistryKey>(opened) : 0;
    return status;
}

std::int32_t Win32Registry::OpenKey(RegistryRoot root, const std::string &keyPath,
                                    std::uint32_t access, RegistryKey &key)
{
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExW(handleOf(rootHandle(root)), Widen(keyPath).c_str(), 0,
                                      static_cast<REGSAM>(access), &opened);
    key = status == ERROR_SUCCESS ? reinterpret_cast<RegistryKey>(opened) : 0;
    return status;
}

std::int32_t Win32Registry::QueryValueInfo(RegistryKey key, const std::string &valueName,
                                           std::uint32_t &type, std::uint32_t &size)
{
    size = 0;
    return QueryValueData(key, valueName, type, nullptr, size);
}

std::int32_t Win32Registry::QueryValueData(RegistryKey key, const std::string &valueName,
                                           std::uint32_t &type, unsigned char *data,
                                           std::uint32_t &size)
{
    DWORD storedType = 0;
    std::vector<BYTE> stored;
    const LONG status = readStored(handleOf(key), Widen(valueName), storedType, stored);
    type = storedType;
    if (status != ERROR_SUCCESS)
        return status;
    // Sizes are those of the program's bytes, as the A entry points report the
    // sizes of their code page's bytes.
    const std::string bytes = programBytes(storedType, stored);
    const auto needed = static_cast<std::uint32_t>(bytes.size());
    const std::uint32_t room = size;
    size = needed;
    if (!data)
        return ERROR_SUCCESS;
    if (needed > room)
        return ERROR_MORE_DATA;
    std::memcpy(data, bytes.data(), bytes.size());
    return ERROR_SUCCESS;
}

std::int32_t Win32Registry::SetValue(RegistryKey key, const std::string &valueName,
                                     std::uint32_t type, const unsigned char *data,
                                     std::uint32_t size)
{
    const std::wstring name = Widen(valueName);
    if (!isText(type))
        return RegSetValueExW(handleOf(key), name.c_str(), 0, type, data, size);
    const std::wstring text
        = Widen(std::string_view(reinterpret_cast<const char *>(data), data ? size : 0));
    return RegSetValueExW(handleOf(key), name.c_str(), 0, type,
                          reinterpret_cast<const BYTE *>(text.data()),
                          static_cast<DWORD>(text.size() * sizeof(wchar_t)));
}

std::int32_t Win32Registry::DeleteValue(RegistryKey key, const std::string &valueName)
{
    return RegDeleteValueW(handleOf(key), Widen(valueName).c_str());
}

std::int32_t Win32Registry::CloseKey(RegistryKey key)
{
    return RegCloseKey(handleOf(key));
}

} // namespace pellwick
