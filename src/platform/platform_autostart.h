#pragma once

#include "core/settings/autostart.h"

#include <memory>
#include <string>

namespace pellwick {

// The log-in entry this system uses: the Run key on Windows, the XDG autostart
// entry under XdgConfigHome() elsewhere. `programFolder` names the folder of the
// executable, `programPath` the executable itself.
std::unique_ptr<Autostart> MakePlatformAutostart(Registry &registry,
                                                 const std::string &programFolder,
                                                 const std::string &programPath);

} // namespace pellwick
