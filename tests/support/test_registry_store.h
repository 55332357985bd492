#pragma once

#include "core/settings/registry.h"

#include <memory>

namespace pellwick::test {

// An empty store of one test's own through this platform's real backend, gone with
// it: a hive file in a temporary folder on Linux, a scratch registry key on Windows
// (tests/platform/<os>/test_registry_store.cpp).
using TestRegistryStore = std::unique_ptr<RegistryBackend> (*)();
std::unique_ptr<RegistryBackend> MakeTestRegistryStore();

} // namespace pellwick::test
