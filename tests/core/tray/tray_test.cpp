// SPDX-License-Identifier: MIT
#include "core/tray/memory.h"
#include "core/tray/sys_tray_icon.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

using namespace pellwick;

namespace {

// Records every call as the desktop would receive it.
struct RecordingArea : NotifyArea
{
    std::vector<std::string> calls;
    void ShowIcon(const std::string &tip) override { calls.push_back("show " + tip); }
    void SetTip(const std::string &tip) override { calls.push_back("tip " + tip); }
    void HideIcon() override { calls.push_back("hide"); }
    void ShowMessage(const std::string &, const std::string &) override { }
};

} // namespace

TEST(SysTrayIcon, OneIconWithTheLatestTipInSixtyThreeBytes)
{
    RecordingArea area;
    SysTrayIcon tray(area);
    tray.AddTrayIcon("192.168.1.20");
    tray.AddTrayIcon("192.168.1.20");
    // Every add takes down the icon first, so there is never a second one.
    EXPECT_EQ(area.calls, (std::vector<std::string> {"hide", "show Local IP is 192.168.1.20",
                                                     "hide", "show Local IP is 192.168.1.20"}));

    // The tip is cut to 63 bytes, never inside a character.
    for (const auto &[tip, kept] : std::initializer_list<std::pair<std::string, std::string>> {
             {std::string(70, 'a'), std::string(63, 'a')},
             {std::string(62, 'c') + "\xc3\xa9", std::string(62, 'c')},
             {"", ""}}) {
        tray.SetTrayTip(tip);
        EXPECT_EQ(tray.Tip(), kept);
        EXPECT_EQ(area.calls.back(), "tip " + kept);
    }
}

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
