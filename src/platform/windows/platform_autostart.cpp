#include "platform/platform_autostart.h"

namespace pellwick {

std::unique_ptr<Autostart>
MakePlatformAutostart(Registry &registry, const std::string &programFolder, const std::string &)
{
    return std::make_unique<RunKeyAutostart>(registry, programFolder);
}

} // namespace pellwick
