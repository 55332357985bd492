#pragma once

#include "core/settings/store.h"
#include "platform/windows/windows_api.h"

#include <functional>
#include <string>

namespace pellwick {

// The values under one key of the Windows registry, through its W entry points:
// names and the data of text values (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) arrive
// as UTF-8 and are stored as UTF-16, so what another program reads through the A
// entry points is the same text in its own code page.
//
// The key lives under the machine root; a write the machine refuses (access
// denied, as for a user without administrator rights) goes to the same key
// under the user root instead, and a value found under the user root is read in
// preference to the machine's. A write the machine accepts removes the user's
// copy, which would otherwise hide it from then on. Writes reach the registry at
// once; Commit tells the first that failed for good since the last Commit,
// naming the key, the value and the cause.
class RegistryStore : public SettingsStore
{
public:
    // Receives the line that tells of a failed save.
    using Report = std::function<void(const std::string &line)>;

    // Without `report`, the line goes to standard error. Tests put keys of their
    // own in place of the two roots.
    explicit RegistryStore(std::string_view keyPath, Report report = {},
                           HKEY machine = HKEY_LOCAL_MACHINE, HKEY user = HKEY_CURRENT_USER);

    std::optional<StoredValue> Read(const std::string &name) override;
    void Write(const std::string &name, std::optional<StoredValue> value) override;
    std::string Commit() override;

private:
    LONG read(HKEY root, const std::wstring &name, StoredValue &value) const;
    // `keyMade` tells whether the failure, if any, came after the key was made.
    LONG write(HKEY root, const std::wstring &name, const std::optional<StoredValue> &value,
               bool &keyMade) const;
    // Keeps the first failure since the last Commit.
    void note(LONG status, bool underUser, const std::string &name, bool keyMade);

    std::string m_keyPath;
    std::wstring m_key;
    Report m_report;
    HKEY m_machine;
    HKEY m_user;
    std::string m_failure;
};

} // namespace pellwick
