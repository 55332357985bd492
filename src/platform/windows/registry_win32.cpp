#include "platform/windows/registry_win32.h"

#include "platform/windows/windows_api.h"

namespace pellwick {

namespace {

// Predefined roots are negative 32-bit numbers widened to a handle, so 0x80000002
// must be sign-extended on 64-bit Windows.
HKEY rootKey(RegistryRoot root)
{
    const auto signedRoot = static_cast<LONG_PTR>(static_cast<LONG>(root));
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(signedRoot));
}

HKEY handleOf(RegistryKey key)
{
    return reinterpret_cast<HKEY>(key);
}

RegistryKey keyOf(HKEY handle)
{
    return reinterpret_cast<RegistryKey>(handle);
}

std::int32_t statusOf(LONG status)
{
    return static_cast<std::int32_t>(status);
}

} // namespace

std::int32_t Win32Registry::CreateKey(RegistryRoot root, const std::string &keyPath,
                                      std::uint32_t access, RegistryKey &key)
{
    // Zero-filled: no descriptor, so a new key gets its parent's default security.
    SECURITY_ATTRIBUTES security {};
    HKEY opened = nullptr;
    DWORD disposition = 0;
    const LONG status
        = RegCreateKeyExA(rootKey(root), keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          static_cast<REGSAM>(access), &security, &opened, &disposition);
    key = status == ERROR_SUCCESS ? keyOf(opened) : 0;
    return statusOf(status);
}

std::int32_t Win32Registry::OpenKey(RegistryRoot root, const std::string &keyPath,
                                    std::uint32_t access, RegistryKey &key)
{
    HKEY opened = nullptr;
    const LONG status
        = RegOpenKeyExA(rootKey(root), keyPath.c_str(), 0, static_cast<REGSAM>(access), &opened);
    key = status == ERROR_SUCCESS ? keyOf(opened) : 0;
    return statusOf(status);
}

std::int32_t Win32Registry::QueryValueInfo(RegistryKey key, const std::string &valueName,
                                           std::uint32_t &type, std::uint32_t &size)
{
    // Asked without a buffer, the registry reports the type and the size only.
    size = 0;
    return QueryValueData(key, valueName, type, nullptr, size);
}

std::int32_t Win32Registry::QueryValueData(RegistryKey key, const std::string &valueName,
                                           std::uint32_t &type, unsigned char *data,
                                           std::uint32_t &size)
{
    DWORD storedType = 0;
    DWORD storedSize = size;
    const LONG status = RegQueryValueExA(handleOf(key), valueName.c_str(), nullptr, &storedType,
                                         data, &storedSize);
    type = storedType;
    size = storedSize;
    return statusOf(status);
}

std::int32_t Win32Registry::SetValue(RegistryKey key, const std::string &valueName,
                                     std::uint32_t type, const unsigned char *data,
                                     std::uint32_t size)
{
    return statusOf(RegSetValueExA(handleOf(key), valueName.c_str(), 0, type, data, size));
}

std::int32_t Win32Registry::DeleteValue(RegistryKey key, const std::string &valueName)
{
    return statusOf(RegDeleteValueA(handleOf(key), valueName.c_str()));
}

std::int32_t Win32Registry::CloseKey(RegistryKey key)
{
    return statusOf(RegCloseKey(handleOf(key)));
}

} // namespace pellwick
