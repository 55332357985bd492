// SPDX-License-Identifier: MIT
#pragma once

#include "core/app/startup.h"
#include "core/settings/autostart.h"
#include "core/settings/store.h"
#include "platform/host_name.h"
#include "platform/local_ip.h"
#include "platform/local_time.h"
#include "platform/memory_status.h"
#include "platform/password_store.h"

#include <memory>
#include <string>
#include <string_view>

namespace pellwick {

// The values under one key of the machine: the real registry on Windows (HKLM,
// falling back to HKCU), the hive file at DefaultHivePath() elsewhere.
std::unique_ptr<SettingsStore> OpenSettingsStore(std::string_view keyPath = kSettingsKey);

// The log-in entry this system uses: the Run key on Windows, the XDG autostart
// entry under XdgConfigHome() elsewhere. `programFolder` names the folder of the
// executable, `programPath` the executable itself.
std::unique_ptr<Autostart> MakePlatformAutostart(const std::string &programFolder,
                                                 const std::string &programPath);

// Where the executable lies: its folder and its full path.
struct ProgramLocation
{
    std::string folder;
    std::string path;
};

// Everything a start takes from this machine; `location` is asked once the
// shell has begun.
inline PlatformParts ThisPlatform(std::function<ProgramLocation()> location)
{
    return {
        .settingsStore = [] { return OpenSettingsStore(); },
        .passwordStore = MakePasswordStore,
        .readPrivateFile = ReadPrivateFile,
        .autostart =
            [location = std::move(location)] {
                const ProgramLocation where = location();
                return MakePlatformAutostart(where.folder, where.path);
            },
        .localIp = LocalIP,
        .memoryReader = PlatformMemoryReader(),
        .clock = CurrentLocalTime,
        .hostName = HostName,
    };
}

} // namespace pellwick
