#include "platform/platform_autostart.h"
#include "platform/linux/xdg_autostart.h"
#include "platform/linux/xdg_paths.h"

namespace pellwick {

std::unique_ptr<Autostart> MakePlatformAutostart(Registry &, const std::string &,
                                                 const std::string &programPath)
{
    return std::make_unique<XdgAutostart>(XdgConfigHome(), programPath);
}

} // namespace pellwick
