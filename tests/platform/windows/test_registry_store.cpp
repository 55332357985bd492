#include "support/test_registry_store.h"
#include "platform/windows/scratch_registry_key.h"

#include "platform/windows/registry_user_fallback.h"
#include "platform/windows/registry_win32.h"

namespace pellwick::test {

std::unique_ptr<RegistryBackend> MakeTestRegistryStore()
{
    // The program's own registry stack with its machine and user roots put under a
    // scratch key, which goes again with the store.
    struct ScratchRegistry
        : private ScratchRegistryKey
        , public UserFallbackRegistry
    {
        ScratchRegistry()
            : UserFallbackRegistry(std::make_unique<Win32Registry>(MachineRoot(), UserRoot()))
        {
        }
    };
    return std::make_unique<ScratchRegistry>();
}

} // namespace pellwick::test
