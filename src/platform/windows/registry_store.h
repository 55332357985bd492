// SPDX-License-Identifier: MIT
#pragma once

#include "core/settings/store.h"
#include "platform/windows/windows_api.h"

#include <functional>
#include <string>

namespace pellwick {

// The values under one key of the Windows registry, through the W entry points
// with UTF-8 texts and names converted at the boundary, so that they mean what
// the A entry points of other programs read. A write the machine root refuses
// (a user without administrator rights) goes to the user root; a value there is
// read first, and a write the machine takes drops the user's copy. Writes reach
// the registry at once; Commit tells the first that failed since the last one.
class RegistryStore : public SettingsStore
{
public:
    // Receives the line that tells of a failed save; by default, standard error.
    using Report = std::function<void(const std::string &line)>;

    // Tests put keys of their own in place of the two roots.
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

    std::wstring m_key;
    Report m_report;
    HKEY m_machine;
    HKEY m_user;
    std::string m_failure;
};

} // namespace pellwick
