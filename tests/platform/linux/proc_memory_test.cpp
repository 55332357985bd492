// SPDX-License-Identifier: MIT
#include "platform/linux/proc_memory.h"
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/sysinfo.h>

#include <cstdint>
#include <string>
#include <tuple>

using pellwick::MemStatus;

TEST(ProcMemory, SnapshotFromTheTextsOfProc)
{
    // Fields go by their whole key in units of 1024 bytes; a count too large stays
    // at the largest; an old kernel lacks MemAvailable; a process may be bigger
    // than its limit.
    constexpr std::uint64_t kSpace = 1ULL << 47, kKiB = 1024;
    const std::string statm = "973 384 357 1 0 89 0\n";
    struct Row
    {
        std::string meminfo, statm;
        std::uint64_t space, total, available, availableVirtual;
    };
    for (const Row &r : {
             Row {"MemTotal:       24683784 kB\nMemAvailable:   24348428 kB\n", statm, kSpace,
                  24683784 * kKiB, 24348428 * kKiB, kSpace - 973 * 4096},
             Row {"MemTotalX: 5 kB\nMemTotal: 1000 kB\nMemFree: 250 kB\n", statm, 1 << 20,
                  1000 * kKiB, 250 * kKiB, 0},
             Row {"MemTotal: 99999999999999999999999 kB\nMemAvailable: kB\nMemFree: 7 kB", "",
                  kSpace, UINT64_MAX, 7 * kKiB, kSpace},
             Row {"", "", kSpace, 0, 0, kSpace},
         }) {
        const MemStatus s = pellwick::MemStatusFromProc(r.meminfo, r.statm, 4096, r.space);
        EXPECT_EQ(
            std::tuple(s.totalPhysical, s.availablePhysical, s.totalVirtual, s.availableVirtual),
            std::tuple(r.total, r.available, r.space, r.availableVirtual))
            << r.meminfo;
    }
}

TEST(ProcMemory, ReadsThisMachineAndThisProcess)
{
    struct sysinfo info
    {
    };
    ASSERT_EQ(sysinfo(&info), 0);
    // Read through files kept open, as the timer reads: each reading is new.
    const pellwick::MemoryReader read = pellwick::PlatformMemoryReader();
    const MemStatus first = read();
    constexpr std::size_t kMapped = 64 << 20;
    void *mapped = mmap(nullptr, kMapped, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(mapped, MAP_FAILED);
    const MemStatus s = read();
    munmap(mapped, kMapped);
    // The mapping and little else: a wrong field or page size would be far off.
    EXPECT_GE(first.availableVirtual - s.availableVirtual, kMapped);
    EXPECT_LT(first.availableVirtual - s.availableVirtual, kMapped + (8 << 20));

    EXPECT_EQ(s.totalPhysical, std::uint64_t {info.totalram} * info.mem_unit);
    rlimit limit {};
    ASSERT_EQ(getrlimit(RLIMIT_AS, &limit), 0);
#if defined(__x86_64__)
    EXPECT_TRUE(limit.rlim_cur != RLIM_INFINITY || s.totalVirtual == 1ULL << 47);
#endif
}
