#include "support/test_registry_store.h"
#include "support/temp_folder.h"

#include "platform/linux/hive_file.h"

namespace pellwick::test {

namespace {

// A hive file in a temporary folder of its own, removed with the store.
class HiveStore
    : private TempFolder
    , public HiveFile
{
public:
    HiveStore()
        : HiveFile(path() / "registry.reg")
    {
    }
};

} // namespace

std::unique_ptr<RegistryBackend> MakeTestRegistryStore()
{
    return std::make_unique<HiveStore>();
}

} // namespace pellwick::test
