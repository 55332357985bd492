// SPDX-License-Identifier: MIT
#include "platform/platform.h"

#include "platform/windows/registry_store.h"

namespace pellwick {

std::unique_ptr<SettingsStore> OpenSettingsStore(std::string_view keyPath)
{
    return std::make_unique<RegistryStore>(keyPath);
}

std::unique_ptr<Autostart> MakePlatformAutostart(const std::string &programFolder,
                                                 const std::string &)
{
    // The entry's failures are silent.
    return std::make_unique<RunKeyAutostart>(
        std::make_unique<RegistryStore>(RunKeyAutostart::kRunKey, [](const std::string &) {}),
        programFolder);
}

} // namespace pellwick
