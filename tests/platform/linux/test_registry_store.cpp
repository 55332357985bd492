#include "support/test_registry_store.h"
#include "support/temp_folder.h"

#include "platform/posix/hive_file.h"

namespace pellwick::test {

std::unique_ptr<RegistryBackend> MakeTestRegistryStore()
{
    // A hive file in a temporary folder of its own, removed with the store.
    struct HiveStore
        : private TempFolder
        , public HiveFile
    {
        HiveStore()
            : HiveFile(path() / "registry.reg")
        {
        }
    };
    return std::make_unique<HiveStore>();
}

} // namespace pellwick::test
