// SPDX-License-Identifier: MIT
#include "core/tray/memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>

using namespace pellwick;

TEST(Memory, KilobytesAndPercentagesRoundHalfToEvenWithTrueFiguresAbove4GB)
{
    using Bytes = std::pair<std::uint64_t, const char *>;
    for (const auto &[bytes, text] :
         {Bytes {500, "0KB"}, Bytes {501, "1KB"}, Bytes {1500, "2KB"},
          Bytes {24ULL << 30, "25769804KB"}, Bytes {UINT64_MAX, "18446744073709552KB"}})
        EXPECT_EQ(KilobyteText(bytes), text) << bytes;
    using Row = std::tuple<std::uint64_t, std::uint64_t, const char *>;
    for (const auto &[available, total, text] :
         {Row {5, 0, "%0"}, Row {1, 200, "%0"}, Row {3, 200, "%2"}, Row {2, 3, "%67"},
          Row {995, 1000, "%100"}, Row {101, 100, "%100"}, Row {UINT64_MAX / 4, UINT64_MAX, "%25"}})
        EXPECT_EQ(PercentText(available, total), text) << available << "/" << total;
}

TEST(Memory, AboutLines)
{
    const MemStatus memory {8000000000ULL, 2000000000ULL, 1ULL << 47, 1ULL << 46};
    EXPECT_EQ(PhysicalMemoryLine(MemStatus {}), "%0 Physical Mem Available. (0KB of 0KB)");
    EXPECT_EQ(VirtualMemoryLine(memory),
              "%50 Virtual Mem Available. (70368744178KB of 140737488355KB)");
}
