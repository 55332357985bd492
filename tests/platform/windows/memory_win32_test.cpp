#include "platform/memory_status.h"

#include <gtest/gtest.h>

using namespace pellwick;

TEST(WindowsMemory, FiguresAreTheMachinesInSixtyFourBits)
{
    const MemStatus status = ReadPlatformMemoryStatus();
    EXPECT_GT(status.dwTotalPhys, 0u);
    EXPECT_LE(status.dwAvailPhys, status.dwTotalPhys);
    EXPECT_LE(status.dwAvailVirtual, status.dwTotalVirtual);
    // A 64-bit process has terabytes of address space, which 32-bit counts would cut.
    EXPECT_GT(status.dwTotalVirtual, std::uint64_t {1} << 32);
}
