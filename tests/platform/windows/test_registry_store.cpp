// SPDX-License-Identifier: MIT
#include "support/test_registry_store.h"
#include "platform/windows/scratch_registry_key.h"

#include "platform/windows/registry_store.h"

namespace pellwick::test {

std::unique_ptr<TestStorePlace> MakeTestStorePlace()
{
    // The program's registry store with its machine and user roots put under a
    // scratch key, which goes again with the place.
    struct ScratchPlace : TestStorePlace
    {
        ScratchRegistryKey scratch;
        std::unique_ptr<SettingsStore> Open(std::string_view keyPath) override
        {
            return std::make_unique<RegistryStore>(keyPath, nullptr, scratch.machine, scratch.user);
        }
    };
    return std::make_unique<ScratchPlace>();
}

} // namespace pellwick::test
