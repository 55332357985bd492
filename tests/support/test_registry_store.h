// SPDX-License-Identifier: MIT
#pragma once

#include "core/settings/store.h"

#include <memory>
#include <string_view>

namespace pellwick::test {

// A place of one test's own where this platform's real store keeps its keys,
// gone with it: a hive file in a temporary folder on Linux, a scratch registry
// key on Windows (tests/platform/<os>/test_registry_store.cpp).
class TestStorePlace
{
public:
    virtual ~TestStorePlace() = default;
    virtual std::unique_ptr<SettingsStore> Open(std::string_view keyPath) = 0;
};

std::unique_ptr<TestStorePlace> MakeTestStorePlace();

} // namespace pellwick::test
