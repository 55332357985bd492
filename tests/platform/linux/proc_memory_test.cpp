// SPDX-License-Identifier: MIT
#include "platform/linux/proc_memory.h"
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/sysinfo.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <tuple>

using pellwick::MemStatus;
using pellwick::MemStatusFromProc;

namespace {

const std::string kMeminfo = "MemTotal:       24683784 kB\n"
                             "MemAvailable:   24348428 kB\n"
                             "SwapFree:         524288 kB\n";

} // namespace

TEST(ProcMemory, FieldsAreFoundByWholeKeyAndCountedIn1024Bytes)
{
    using Row = std::tuple<std::string, const char *, std::optional<std::uint64_t>>;
    for (const auto &[text, key, value] : {
             Row {kMeminfo, "SwapFree", 524288ULL * 1024},
             Row {kMeminfo, "Mem", std::nullopt},
             Row {"", "MemTotal", std::nullopt},
             Row {"MemTotal: kB\n", "MemTotal", std::nullopt},
             Row {"MemTotal: 99999999999999999999999 kB", "MemTotal", UINT64_MAX},
         })
        EXPECT_EQ(pellwick::ProcKilobyteField(text, key), value) << key;
}

TEST(ProcMemory, SnapshotFromTheTextsOfProc)
{
    const std::uint64_t space = 1ULL << 47;
    const std::string statm = "973 384 357 1 0 89 0\n";
    MemStatus s = MemStatusFromProc(kMeminfo, statm, 4096, space);
    EXPECT_EQ(s.totalPhysical, 24683784ULL * 1024);
    EXPECT_EQ(s.availablePhysical, 24348428ULL * 1024);
    EXPECT_EQ(s.totalVirtual, space);
    EXPECT_EQ(s.availableVirtual, space - 973ULL * 4096);

    // An old kernel without MemAvailable; a process bigger than its limit.
    s = MemStatusFromProc("MemTotal: 1000 kB\nMemFree: 250 kB\n", statm, 4096, 1 << 20);
    EXPECT_EQ(s.availablePhysical, 250U * 1024);
    EXPECT_EQ(s.availableVirtual, 0U);

    s = MemStatusFromProc("", "", 4096, space);
    EXPECT_EQ(s.totalPhysical + s.availablePhysical, 0U);
    EXPECT_EQ(s.availableVirtual, space);
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

    // A limit on the address space is the virtual total; set in a child so that
    // this process keeps its own.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit small {64ULL << 30, limit.rlim_max};
        const bool ok = setrlimit(RLIMIT_AS, &small) == 0
                        && pellwick::ReadPlatformMemoryStatus().totalVirtual == (64ULL << 30);
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
