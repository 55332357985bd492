#include "platform/windows/scratch_registry_key.h"

#include <sddl.h>

#include <stdexcept>

namespace pellwick::test {

namespace {

const std::wstring kTestsKey = L"Software\\PellwickTests";

HKEY createKey(HKEY parent, const std::wstring &path)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(parent, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr)
        != ERROR_SUCCESS)
        throw std::runtime_error("cannot create a scratch registry key");
    return key;
}

// Sets the key's access list from its text form; a key whose list allows no
// change keeps WRITE_DAC for its owner, so the change can be undone.
bool setAccess(HKEY parent, const std::wstring &path, const wchar_t *descriptor)
{
    PSECURITY_DESCRIPTOR security = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(descriptor, SDDL_REVISION_1,
                                                              &security, nullptr))
        return false;
    HKEY key = nullptr;
    LONG status = RegOpenKeyExW(parent, path.c_str(), 0, WRITE_DAC, &key);
    if (status == ERROR_SUCCESS) {
        status = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, security);
        RegCloseKey(key);
    }
    LocalFree(security);
    return status == ERROR_SUCCESS;
}

} // namespace

ScratchRegistryKey::ScratchRegistryKey()
{
    LARGE_INTEGER now {};
    QueryPerformanceCounter(&now);
    m_path = kTestsKey + L"\\" + std::to_wstring(GetCurrentProcessId()) + L"-"
             + std::to_wstring(now.QuadPart);
    m_machine = createKey(HKEY_CURRENT_USER, m_path + L"\\Machine");
    m_user = createKey(HKEY_CURRENT_USER, m_path + L"\\User");
}

ScratchRegistryKey::~ScratchRegistryKey()
{
    for (const std::wstring &path : m_readOnly)
        setAccess(m_machine, path, L"D:(A;OICI;KA;;;WD)");
    RegCloseKey(m_machine);
    RegCloseKey(m_user);
    RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, m_path.c_str());
    // The common parent goes too once the last test has left it empty.
    RegDeleteKeyW(HKEY_CURRENT_USER, kTestsKey.c_str());
}

void ScratchRegistryKey::MakeMachineKeyReadOnly(const std::wstring &keyPath)
{
    RegCloseKey(createKey(m_machine, keyPath));
    if (!setAccess(m_machine, keyPath, L"D:P(A;;KR;;;WD)"))
        throw std::runtime_error("cannot make a scratch key read-only");
    m_readOnly.push_back(keyPath);
}

} // namespace pellwick::test
