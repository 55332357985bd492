#pragma once

#include "core/settings/autostart.h"
#include "core/settings/store.h"

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

} // namespace pellwick
