#include "platform/platform_registry.h"
#include "platform/linux/hive_file.h"
#include "platform/linux/xdg_paths.h"

namespace pellwick {

std::unique_ptr<RegistryBackend> MakePlatformRegistryBackend()
{
    return std::make_unique<HiveFile>(DefaultHivePath());
}

} // namespace pellwick
