#include "platform/linux/proc_memory.h"
#include "platform/memory_status.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/sysinfo.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <string>

using pellwick::MemStatus;
using pellwick::MemStatusFromProc;
using pellwick::ProcKilobyteField;

namespace {

const std::string kMeminfo = "MemTotal:       24683784 kB\n"
                             "MemFree:        20000000 kB\n"
                             "MemAvailable:   24348428 kB\n"
                             "SwapCached:            0 kB\n"
                             "SwapTotal:       1048576 kB\n"
                             "SwapFree:         524288 kB\n";
const std::string kStatm = "973 384 357 1 0 89 0\n";

// VmSize of /proc/self/status: what statm's first field must come to.
std::uint64_t vmSizeNow()
{
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word && word != "VmSize:") { }
    std::uint64_t kib = 0;
    status >> kib;
    return kib * 1024;
}

} // namespace

TEST(ProcMemory, FieldsAreFoundByWholeKeyAndCountedIn1024Bytes)
{
    EXPECT_EQ(ProcKilobyteField(kMeminfo, "MemTotal"), 24683784ULL * 1024);
    EXPECT_EQ(ProcKilobyteField(kMeminfo, "SwapFree"), 524288ULL * 1024);
    EXPECT_EQ(ProcKilobyteField(kMeminfo, "Mem"), std::nullopt);
    EXPECT_EQ(ProcKilobyteField(kMeminfo, "Swap"), std::nullopt);
    EXPECT_EQ(ProcKilobyteField("", "MemTotal"), std::nullopt);
    EXPECT_EQ(ProcKilobyteField("MemTotal: kB\n", "MemTotal"), std::nullopt);
    EXPECT_EQ(ProcKilobyteField("MemTotal: 99999999999999999999999 kB", "MemTotal"), UINT64_MAX);
}

TEST(ProcMemory, SnapshotFromTheTextsOfProc)
{
    const std::uint64_t space = 1ULL << 47;
    MemStatus s = MemStatusFromProc(kMeminfo, kStatm, 4096, space);
    EXPECT_EQ(s.totalPhysical, 24683784ULL * 1024);
    EXPECT_EQ(s.availablePhysical, 24348428ULL * 1024);
    EXPECT_EQ(s.totalVirtual, space);
    EXPECT_EQ(s.availableVirtual, space - 973ULL * 4096);

    // An old kernel without MemAvailable; a process bigger than its limit.
    s = MemStatusFromProc("MemTotal: 1000 kB\nMemFree: 250 kB\n", kStatm, 4096, 1 << 20);
    EXPECT_EQ(s.availablePhysical, 250U * 1024);
    EXPECT_EQ(s.availableVirtual, 0U);

    s = MemStatusFromProc("", "", 4096, space);
    EXPECT_EQ(s.totalPhysical, 0U);
    EXPECT_EQ(s.availablePhysical, 0U);
    EXPECT_EQ(s.availableVirtual, space);

    EXPECT_EQ(pellwick::ProcessAddressSpace(123456789ULL), 123456789ULL);
#if defined(__x86_64__)
    EXPECT_EQ(pellwick::ProcessAddressSpace(std::nullopt), 1ULL << 47);
#endif
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
    const std::uint64_t before = vmSizeNow();
    const MemStatus s = read();
    const std::uint64_t after = vmSizeNow();
    munmap(mapped, kMapped);
    EXPECT_GE(first.availableVirtual - s.availableVirtual, kMapped);

    EXPECT_EQ(s.totalPhysical, std::uint64_t {info.totalram} * info.mem_unit);
    EXPECT_GT(s.availablePhysical, 0U);
    EXPECT_LE(s.availablePhysical, s.totalPhysical);
    rlimit limit {};
    ASSERT_EQ(getrlimit(RLIMIT_AS, &limit), 0);
    if (limit.rlim_cur == RLIM_INFINITY) {
        EXPECT_EQ(s.totalVirtual, pellwick::ProcessAddressSpace(std::nullopt));
    }
    const std::uint64_t used = s.totalVirtual - s.availableVirtual;
    EXPECT_GE(used, std::min(before, after));
    EXPECT_LE(used, std::max(before, after));

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
