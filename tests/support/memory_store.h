// SPDX-License-Identifier: MIT
#pragma once

#include "core/settings/hive_text.h"
#include "core/settings/store.h"

#include <string>

namespace pellwick::test {

// The program's key kept in memory, in a hive as the hive file would hold it,
// for tests of what is stored without any file.
struct MemoryStore : SettingsStore
{
    static inline const std::string kSection = "HKEY_LOCAL_MACHINE\\" + std::string(kSettingsKey);

    HiveDocument hive;
    bool failCommits = false; // a commit fails, as on a full disk
    std::string unreadable; // why the values could not be read
    int commits = 0; // those that had writes to put in the store

    std::optional<StoredValue> Read(const std::string &name) override
    {
        const HiveValue *value = hive.FindValue(kSection, name);
        return value ? std::optional(StoredValue {value->type, value->data}) : std::nullopt;
    }
    void Write(const std::string &name, std::optional<StoredValue> value) override
    {
        m_written = true;
        if (value)
            hive.SetValue(kSection, name, value->type, value->bytes);
        else
            hive.DeleteValue(kSection, name);
    }
    std::string Commit() override
    {
        commits += m_written ? 1 : 0;
        m_written = false;
        return failCommits ? "registry.reg: no space left on device" : "";
    }

    std::string Unreadable() override { return unreadable; }

private:
    bool m_written = false;
};

} // namespace pellwick::test
