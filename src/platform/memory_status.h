#pragma once

#include "core/tray/memory.h"

namespace pellwick {

// Reads the figures of this machine and of this process.
MemStatus ReadPlatformMemoryStatus();

} // namespace pellwick
