// SPDX-License-Identifier: MIT
#pragma once

#include "support/fake_mail.h"
#include "support/memory_store.h"

#include "core/settings/autostart.h"
#include "core/settings/settings.h"
#include "core/window/window_parts.h"

#include <optional>
#include <string>

namespace pellwick::test {

// The machine a window meets in a test, as plain state: the settings in memory,
// the addresses, the memory figures, the log-in entry; the program's end is
// counted, not done.
struct TestMachine : Autostart
{
    MemoryStore hive;
    std::string localIp = "192.0.2.7";
    std::optional<std::string> ipv6;
    std::string commandLine;
    // Virtual figures beyond 32 bits.
    MemStatus memory {8'000'000'000, 2'000'000'000, 1ULL << 47, 3ULL << 45};
    PasswordStore *passwordStore = nullptr;
    MessageLines lines;
    bool autostart = false;
    int processEnds = 0, exitStatus = -1;

    MachineParts Parts()
    {
        return {.store = hive,
                .autostart = *this,
                .localIp = [this] { return localIp; },
                .memoryReader = [this] { return memory; },
                .clock = FixedTime,
                .commandLine = commandLine,
                .endProcess =
                    [this](int status) {
                        ++processEnds;
                        exitStatus = status;
                    },
                .globalIpv6 = [this] { return ipv6; },
                .passwordStore = passwordStore,
                .lines = lines};
    }
    void Register() override { autostart = true; }
    void Unregister() override { autostart = false; }
};

} // namespace pellwick::test
