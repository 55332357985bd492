#pragma once

#include "core/settings/registry_backend.h"

#include <memory>

namespace pellwick {

// The store that the Registry layer works on here: the real registry on Windows,
// the hive file at DefaultHivePath() elsewhere.
std::unique_ptr<RegistryBackend> MakePlatformRegistryBackend();

} // namespace pellwick
