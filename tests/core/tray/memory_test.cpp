#include "core/tray/memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

using pellwick::KilobyteText;
using pellwick::Memory;
using pellwick::MemStatus;
using pellwick::PercentText;

TEST(KilobyteText, ThousandsRoundHalfToEvenWithTrueFiguresAbove4GB)
{
    EXPECT_EQ(KilobyteText(0), "0KB");
    EXPECT_EQ(KilobyteText(499), "0KB");
    EXPECT_EQ(KilobyteText(500), "0KB");
    EXPECT_EQ(KilobyteText(501), "1KB");
    EXPECT_EQ(KilobyteText(1500), "2KB");
    EXPECT_EQ(KilobyteText(2500), "2KB");
    EXPECT_EQ(KilobyteText(3500), "4KB");
    for (const std::uint64_t n : {1ULL, 2ULL, 1023ULL, 4294967ULL, 9007199254740993ULL}) {
        SCOPED_TRACE(n);
        EXPECT_EQ(KilobyteText(n * 1000 + 499), std::to_string(n) + "KB");
        EXPECT_EQ(KilobyteText(n * 1000 + 501), std::to_string(n + 1) + "KB");
        EXPECT_EQ(KilobyteText(n * 1000 + 500), std::to_string(n % 2 == 0 ? n : n + 1) + "KB");
    }
    EXPECT_EQ(KilobyteText(2147483648ULL), "2147484KB"); // 2^31, never negative
    EXPECT_EQ(KilobyteText(4294967295ULL), "4294967KB"); // 2^32 - 1
    EXPECT_EQ(KilobyteText(24ULL << 30), "25769804KB"); // 24 GiB
    EXPECT_EQ(KilobyteText(UINT64_MAX), "18446744073709552KB");
}

TEST(PercentText, AvailableShareInAtMostFourCharacters)
{
    EXPECT_EQ(PercentText(0, 0), "%0");
    EXPECT_EQ(PercentText(5, 0), "%0");
    EXPECT_EQ(PercentText(0, 100), "%0");
    EXPECT_EQ(PercentText(1, 200), "%0"); // 0.5, half to even
    EXPECT_EQ(PercentText(3, 200), "%2"); // 1.5
    EXPECT_EQ(PercentText(1, 3), "%33");
    EXPECT_EQ(PercentText(2, 3), "%67");
    EXPECT_EQ(PercentText(985, 1000), "%98");
    EXPECT_EQ(PercentText(995, 1000), "%100");
    EXPECT_EQ(PercentText(100, 100), "%100");
    EXPECT_EQ(PercentText(101, 100), "%100");
    EXPECT_EQ(PercentText(UINT64_MAX / 4, UINT64_MAX), "%25");
    EXPECT_EQ(PercentText(UINT64_MAX, UINT64_MAX), "%100");
}

namespace {

// Each read gives another snapshot, so a text that mixed two reads would show it.
struct CountingReader
{
    std::uint64_t *reads;
    MemStatus operator()() const
    {
        ++*reads;
        MemStatus s;
        s.dwTotalPhys = 8000000000ULL;
        s.dwAvailPhys = 2000000000ULL * *reads;
        s.dwTotalVirtual = 1ULL << 47; // 128 TiB
        s.dwAvailVirtual = 1ULL << 46;
        return s;
    }
};

} // namespace

TEST(Memory, AboutLinesComeToTheCharacterFromTheLastSnapshotOnly)
{
    std::uint64_t reads = 0;
    Memory memory {CountingReader {&reads}};
    EXPECT_EQ(memory.Status().dwLength, 0U);
    EXPECT_EQ(memory.Status().dwTotalPhys, 0U);
    EXPECT_EQ(PhysicalMemoryLine(memory), "%0 Physical Mem Available. (0KB of 0KB)");
    EXPECT_EQ(VirtualMemoryLine(memory), "%0 Virtual Mem Available. (0KB of 0KB)");
    EXPECT_EQ(reads, 0U);

    memory.ReadMemoryStatus();
    const std::string physical = "%25 Physical Mem Available. (2000000KB of 8000000KB)";
    const std::string virtualLine = "%50 Virtual Mem Available. (70368744178KB of 140737488355KB)";
    EXPECT_EQ(PhysicalMemoryLine(memory), physical);
    EXPECT_EQ(VirtualMemoryLine(memory), virtualLine);
    EXPECT_EQ(PhysicalMemoryLine(memory), physical);
    EXPECT_EQ(VirtualMemoryLine(memory), virtualLine);
    EXPECT_EQ(memory.GetTotalPhysKB(), "8000000KB");
    EXPECT_EQ(memory.GetAvailVirtKB(), "70368744178KB");
    EXPECT_EQ(memory.Status().dwLength, sizeof(MemStatus));
    EXPECT_EQ(reads, 1U);

    memory.ReadMemoryStatus();
    EXPECT_EQ(PhysicalMemoryLine(memory), "%50 Physical Mem Available. (4000000KB of 8000000KB)");
    EXPECT_EQ(reads, 2U);
}
