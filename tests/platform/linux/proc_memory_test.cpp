// SPDX-License-Identifier: MIT
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <sys/sysinfo.h>

#include <cstdint>

TEST(ProcMemory, ReadsThisMachineAndThisProcess)
{
    struct sysinfo info
    {
    };
    ASSERT_EQ(sysinfo(&info), 0);
    // Read through files kept open, as the timer reads: each reading is new.
    const pellwick::MemoryReader read = pellwick::PlatformMemoryReader();
    const pellwick::MemStatus first = read();
    constexpr std::size_t kMapped = 64 << 20;
    void *mapped = mmap(nullptr, kMapped, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(mapped, MAP_FAILED);
    const pellwick::MemStatus s = read();
    munmap(mapped, kMapped);
    // The mapping and little else: a wrong field or page size would be far off.
    EXPECT_GE(first.availableVirtual - s.availableVirtual, kMapped);
    EXPECT_LT(first.availableVirtual - s.availableVirtual, kMapped + (8 << 20));
    EXPECT_EQ(s.totalPhysical, std::uint64_t {info.totalram} * info.mem_unit);
    EXPECT_LE(s.availablePhysical, s.totalPhysical);
}
