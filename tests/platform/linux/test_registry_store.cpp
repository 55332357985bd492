#include "support/test_registry_store.h"
#include "support/temp_folder.h"

#include "platform/linux/hive_file.h"

namespace pellwick::test {

namespace {

struct Folder
{
    TempFolder folder;
};

// A hive file in a temporary folder of its own, removed with the store.
class TempHive
    : private Folder
    , public HiveFile
{
public:
    TempHive()
        : HiveFile(folder / "registry.reg")
    {
    }
};

} // namespace

std::unique_ptr<RegistryBackend> MakeTestRegistryStore()
{
    return std::make_unique<TempHive>();
}

} // namespace pellwick::test
