// SPDX-License-Identifier: MIT
#include "platform/platform.h"

#include "platform/posix/hive_file.h"
#include "platform/posix/xdg_autostart.h"

#include <cstdlib>

namespace pellwick {

std::unique_ptr<SettingsStore> OpenSettingsStore(std::string_view keyPath)
{
    return std::make_unique<HiveFile>(DefaultHivePath(), keyPath);
}

std::unique_ptr<Autostart> MakePlatformAutostart(const std::string &,
                                                 const std::string &programPath)
{
    const char *searchPath = std::getenv("PATH");
    return std::make_unique<XdgAutostart>(XdgConfigHome(),
                                          LoginProgram(programPath, searchPath ? searchPath : ""));
}

} // namespace pellwick
