#include "settings/hive_file.h"
#include "settings/platform_registry.h"
#include "settings/xdg_paths.h"

namespace pellwick {

std::unique_ptr<RegistryBackend> MakePlatformRegistryBackend()
{
    return std::make_unique<HiveFile>(DefaultHivePath());
}

} // namespace pellwick
