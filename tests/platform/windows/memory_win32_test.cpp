// SPDX-License-Identifier: MIT
#include "platform/platform.h"

#include <gtest/gtest.h>

using namespace pellwick;

TEST(WindowsMemory, FiguresAreTheMachinesInSixtyFourBits)
{
    const MemStatus status = PlatformMemoryReader()();
    // A 64-bit process has terabytes of address space, which 32-bit counts would cut.
    EXPECT_GT(status.totalVirtual, std::uint64_t {1} << 32);
}
