#include "platform/platform_registry.h"

#include "platform/windows/registry_user_fallback.h"
#include "platform/windows/registry_win32.h"

namespace pellwick {

std::unique_ptr<RegistryBackend> MakePlatformRegistryBackend()
{
    return std::make_unique<UserFallbackRegistry>(std::make_unique<Win32Registry>());
}

} // namespace pellwick
