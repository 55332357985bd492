// SPDX-License-Identifier: MIT
#include "platform/windows/registry_store.h"

#include "platform/windows/wide_text.h"

#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

namespace pellwick {

namespace {

bool isText(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

} // namespace

RegistryStore::RegistryStore(std::string_view keyPath, Report report, HKEY machine, HKEY user)
    : m_key(Widen(keyPath))
    , m_report(report ? std::move(report)
                      : [](const std::string &line) { std::fprintf(stderr, "%s\n", line.c_str()); })
    , m_machine(machine)
    , m_user(user)
{
}

LONG RegistryStore::read(HKEY root, const std::wstring &name, StoredValue &value) const
{
    HKEY key = nullptr;
    LONG status = RegOpenKeyExW(root, m_key.c_str(), 0, KEY_QUERY_VALUE, &key);
    if (status != ERROR_SUCCESS)
        return status;
    DWORD type = 0;
    std::vector<BYTE> bytes;
    // A value that grows between the two calls is read again.
    do {
        DWORD size = 0;
        status = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
        if (status != ERROR_SUCCESS)
            break;
        bytes.resize(size);
        status = RegQueryValueExW(key, name.c_str(), nullptr, &type, bytes.data(), &size);
        bytes.resize(size);
    } while (status == ERROR_MORE_DATA);
    RegCloseKey(key);
    value.type = type;
    if (isText(type)) {
        // A stray odd byte at the end cannot be a UTF-16 character and is left out.
        std::wstring wide(bytes.size() / 2, L'\0');
        std::memcpy(wide.data(), bytes.data(), wide.size() * sizeof(wchar_t));
        value.bytes = Narrow(wide);
    } else {
        value.bytes.assign(bytes.begin(), bytes.end());
    }
    return status;
}

LONG RegistryStore::write(HKEY root, const std::wstring &name,
                          const std::optional<StoredValue> &value, bool &keyMade) const
{
    HKEY key = nullptr;
    const LONG opened
        = value ? RegCreateKeyExW(root, m_key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_SET_VALUE, nullptr, &key, nullptr)
                : RegOpenKeyExW(root, m_key.c_str(), 0, KEY_SET_VALUE, &key);
    keyMade = opened == ERROR_SUCCESS;
    if (!keyMade)
        return opened;
    // Texts go as UTF-16, everything else as it comes.
    const bool wide = value && isText(value->type);
    const std::wstring text = wide ? Widen(value->bytes) : std::wstring();
    const std::string_view bytes
        = wide    ? std::string_view(reinterpret_cast<const char *>(text.data()),
                                     text.size() * sizeof(wchar_t))
          : value ? std::string_view(value->bytes)
                  : std::string_view();
    const LONG status = value ? RegSetValueExW(key, name.c_str(), 0, value->type,
                                               reinterpret_cast<const BYTE *>(bytes.data()),
                                               static_cast<DWORD>(bytes.size()))
                              : RegDeleteValueW(key, name.c_str());
    RegCloseKey(key);
    return status;
}

std::optional<StoredValue> RegistryStore::Read(const std::string &name)
{
    StoredValue value;
    const std::wstring wide = Widen(name);
    LONG status = read(m_user, wide, value);
    if (status == ERROR_FILE_NOT_FOUND)
        status = read(m_machine, wide, value);
    return status == ERROR_SUCCESS ? std::optional(value) : std::nullopt;
}

void RegistryStore::Write(const std::string &name, std::optional<StoredValue> value)
{
    const std::wstring wide = Widen(name);
    bool keyMade = false;
    // Removes the root's copy, when it has one.
    const auto remove = [&](HKEY root, bool underUser) {
        StoredValue stored;
        if (read(root, wide, stored) != ERROR_FILE_NOT_FOUND)
            note(write(root, wide, std::nullopt, keyMade), underUser, name, keyMade);
    };
    LONG status = ERROR_SUCCESS;
    if (value) {
        status = write(m_machine, wide, value, keyMade);
        if (status == ERROR_ACCESS_DENIED)
            return note(write(m_user, wide, value, keyMade), true, name, keyMade);
        note(status, false, name, keyMade);
    } else {
        remove(m_machine, false);
    }
    // A copy under the user root would hide the machine's value from then on.
    if (status == ERROR_SUCCESS && m_user != m_machine)
        remove(m_user, true);
}

void RegistryStore::note(LONG status, bool underUser, const std::string &name, bool keyMade)
{
    if (status == ERROR_SUCCESS || !m_failure.empty())
        return;
    std::string where
        = (underUser ? "HKEY_CURRENT_USER\\" : "HKEY_LOCAL_MACHINE\\") + Narrow(m_key);
    if (keyMade)
        where += " (value \"" + name + "\")";
    m_failure = "Pellwick: cannot save the settings to " + where + ": " + SystemErrorText(status);
}

std::string RegistryStore::Commit()
{
    if (!m_failure.empty())
        m_report(m_failure);
    return std::exchange(m_failure, {});
}

} // namespace pellwick
