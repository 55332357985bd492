#include "platform/platform.h"

#include "platform/posix/hive_file.h"
#include "platform/linux/login_program.h"
#include "platform/linux/xdg_autostart.h"
#include "platform/linux/xdg_paths.h"

#include <cstdlib>

namespace pellwick {

std::unique_ptr<RegistryBackend> MakePlatformRegistryBackend()
{
    return std::make_unique<HiveFile>(DefaultHivePath());
}

std::unique_ptr<Autostart> MakePlatformAutostart(Registry &, const std::string &,
                                                 const std::string &programPath)
{
    const char *searchPath = std::getenv("PATH");
    return std::make_unique<XdgAutostart>(XdgConfigHome(),
                                          LoginProgram(programPath, searchPath ? searchPath : ""));
}

} // namespace pellwick
