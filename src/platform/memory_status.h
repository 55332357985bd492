// SPDX-License-Identifier: MIT
#pragma once

#include "core/tray/memory.h"

namespace pellwick {

// Reads the figures of this machine and of this process.
MemStatus ReadPlatformMemoryStatus();

// The same reading for a caller that reads again and again, as the timer does: the
// reader may keep what it reads from ready between readings.
MemoryReader PlatformMemoryReader();

} // namespace pellwick
