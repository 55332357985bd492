#pragma once

#include "core/settings/autostart.h"
#include "core/settings/registry.h"

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

} // namespace pellwick
