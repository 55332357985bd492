#pragma once

#include "core/app/startup.h"
#include "core/settings/autostart.h"
#include "core/settings/registry.h"
#include "platform/host_name.h"
#include "platform/local_ip.h"
#include "platform/local_time.h"
#include "platform/memory_status.h"
#include "platform/password_store.h"

#include <memory>
#include <string>

namespace pellwick {

// The store that the Registry layer works on here: the real registry on Windows,
// the hive file at DefaultHivePath() elsewhere.
std::unique_ptr<RegistryBackend> MakePlatformRegistryBackend();

// The log-in entry this system uses: the Run key on Windows, the XDG autostart
// entry under XdgConfigHome() elsewhere. `programFolder` names the folder of the
// executable, `programPath` the executable itself.
std::unique_ptr<Autostart> MakePlatformAutostart(Registry &registry,
                                                 const std::string &programFolder,
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
        .registryBackend = MakePlatformRegistryBackend,
        .passwordStore = MakePasswordStore,
        .readPrivateFile = ReadPrivateFile,
        .autostart =
            [location = std::move(location)](Registry &registry) {
                const ProgramLocation where = location();
                return MakePlatformAutostart(registry, where.folder, where.path);
            },
        .localIp = LocalIP,
        .memoryReader = PlatformMemoryReader(),
        .clock = CurrentLocalTime,
        .hostName = HostName,
    };
}

} // namespace pellwick
