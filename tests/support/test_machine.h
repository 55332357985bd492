// SPDX-License-Identifier: MIT
#pragma once

#include "support/memory_store.h"

#include "core/settings/autostart.h"
#include "core/settings/settings.h"
#include "core/window/window_parts.h"

#include <string>

namespace pellwick::test {

// The machine a shell's window meets in a test: settings in memory, no
// autostart entry, the address 192.0.2.9; the program's ends are counted.
struct TestMachine
{
    MemoryStore hive;
    NoAutostart autostart;
    int ends = 0;

    MachineParts Parts()
    {
        return {
            .store = hive,
            .autostart = autostart,
            .localIp = [] { return std::string("192.0.2.9"); },
            .memoryReader = [] { return MemStatus {}; },
            .clock = [] { return LocalTime {}; },
            .commandLine = "",
            .endProcess = [this](int) { ++ends; },
        };
    }
};

} // namespace pellwick::test
