// SPDX-License-Identifier: MIT
#include "core/tray/sys_tray_icon.h"

#include <gtest/gtest.h>

#include <string>
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
    tray.SetTrayTip("");
    tray.AddTrayIcon("192.168.1.20");
    tray.AddTrayIcon("192.168.1.20");
    tray.SetTrayTip("10.0.0.2 %40 Phyical Free ");
    tray.SetTrayTip("10.0.0.2 %40 Phyical Free ");
    tray.RemoveTrayIcon();
    // Every add takes down the icon first, so there is never a second one; an
    // unchanged tip is not sent again.
    EXPECT_EQ(area.calls, (std::vector<std::string> {"hide", "show Local IP is 192.168.1.20",
                                                     "hide", "show Local IP is 192.168.1.20",
                                                     "tip 10.0.0.2 %40 Phyical Free ", "hide"}));

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
