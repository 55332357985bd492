#pragma once

#include "core/settings/registry.h"

#include <memory>

namespace pellwick::test {

// Makes an empty store of one test's own, reached through a real backend of this
// platform and removed again with the backend, so that the registry layer's cases
// run unchanged on each kind of store: the hive file in a temporary folder on
// Linux, the real registry under a scratch key on Windows
// (tests/platform/<os>/test_registry_store.cpp).
using TestRegistryStore = std::unique_ptr<RegistryBackend> (*)();
std::unique_ptr<RegistryBackend> MakeTestRegistryStore();

} // namespace pellwick::test
