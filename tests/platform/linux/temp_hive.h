// SPDX-License-Identifier: MIT
#pragma once

#include "support/temp_folder.h"

#include "core/settings/settings.h"
#include "platform/posix/hive_file.h"

#include <string>
#include <vector>

namespace pellwick::test {

// A hive file in a temporary folder of its own, a store of the program's key on
// it, and what the store told.
struct TempHive
{
    explicit TempHive(const std::string &name = "registry.reg")
        : file(folder / name)
    {
    }

    // One value written and committed: Commit's result.
    std::string Set(const std::string &name, const SettingValue &value)
    {
        hive.Write(name, Stored(value));
        return hive.Commit();
    }
    std::optional<SettingValue> Query(const std::string &name)
    {
        const auto stored = hive.Read(name);
        return stored ? Decoded(*stored) : std::nullopt;
    }

    TempFolder folder;
    std::filesystem::path file;
    std::vector<std::string> said;
    HiveFile hive {file, kSettingsKey, [this](const std::string &line) {
                       said.push_back(line);
                   }};
};

} // namespace pellwick::test
