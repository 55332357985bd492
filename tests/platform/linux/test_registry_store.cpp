// SPDX-License-Identifier: MIT
#include "support/test_registry_store.h"
#include "support/temp_folder.h"

#include "platform/posix/hive_file.h"

namespace pellwick::test {

std::unique_ptr<TestStorePlace> MakeTestStorePlace()
{
    // One hive file in a temporary folder of its own, removed with the place.
    struct HivePlace : TestStorePlace
    {
        TempFolder folder;
        std::unique_ptr<SettingsStore> Open(std::string_view keyPath) override
        {
            return std::make_unique<HiveFile>(folder / "registry.reg", keyPath);
        }
    };
    return std::make_unique<HivePlace>();
}

} // namespace pellwick::test
