#include "settings/platform_autostart.h"
#include "settings/xdg_paths.h"

namespace pellwick {

std::unique_ptr<Autostart> MakePlatformAutostart(Registry &, const std::string &,
                                                 const std::string &programPath)
{
    return std::make_unique<XdgAutostart>(XdgConfigHome(), programPath);
}

} // namespace pellwick
