#pragma once

#include "support/temp_folder.h"

#include "core/settings/registry.h"
#include "platform/posix/hive_file.h"

#include <string>
#include <vector>

namespace pellwick::test {

// A hive file in a temporary folder of its own, the registry layer over it, and what it told.
struct TempHive
{
    static inline const std::string kKey = "Software\\Pellwick";

    explicit TempHive(const std::string &name = "registry.reg")
        : file(folder / name)
    {
    }

    // The program's own key unless another is named; a missing value reads as none.
    std::int32_t Set(const std::string &name, const RegistryValue &value,
                     std::uint32_t type = kRegSz, const std::string &key = kKey)
    {
        return registry.SetKeyValue(kHkeyLocalMachine, key, name, value, type);
    }
    RegistryValue Query(const std::string &name, const std::string &key = kKey)
    {
        return registry.QueryValue(kHkeyLocalMachine, key, name, std::monostate {});
    }

    TempFolder folder;
    std::filesystem::path file;
    std::vector<std::string> said;
    HiveFile hive {file, [this](const std::string &line) {
                       said.push_back(line);
                   }};
    Registry registry {hive};
};

} // namespace pellwick::test
