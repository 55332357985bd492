#include "platform/platform.h"

#include "platform/windows/registry_user_fallback.h"
#include "platform/windows/registry_win32.h"

namespace pellwick {

std::unique_ptr<RegistryBackend> MakePlatformRegistryBackend()
{
    return std::make_unique<UserFallbackRegistry>(std::make_unique<Win32Registry>());
}

std::unique_ptr<Autostart>
MakePlatformAutostart(Registry &registry, const std::string &programFolder, const std::string &)
{
    return std::make_unique<RunKeyAutostart>(registry, programFolder);
}

} // namespace pellwick
