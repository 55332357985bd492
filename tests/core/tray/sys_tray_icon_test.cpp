#include "core/tray/sys_tray_icon.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

using namespace pellwick;

namespace {

// A notification area that shows at most one icon, as the shell does.
struct OneIconArea : NotifyArea
{
    int icons = 0;
    TrayIconData shown;
    void Notify(int message, const TrayIconData &data) override
    {
        if (message == NIM_ADD)
            ++icons;
        else if (message == NIM_DELETE && icons > 0)
            --icons;
        if (icons > 0)
            shown = data;
    }
    void ShowMessage(const std::string &, const std::string &) override { }
};

} // namespace

TEST(SysTrayIcon, OneIconNamingTheWindowWithTheLatestTipInSixtyThreeBytes)
{
    OneIconArea area;
    SysTrayIcon tray(area);
    tray.SetTrayTip("early");
    EXPECT_EQ(area.icons, 0);

    tray.AddTrayIcon(0x4a0016, 0x1c0b, "192.168.1.20");
    tray.AddTrayIcon(0x4a0016, 0x1c0b, "192.168.1.20");
    EXPECT_EQ(area.icons, 1);
    const TrayIconData &d = area.shown;
    // Window, icon number, message, icon and tip given, right-button-down as the callback.
    EXPECT_EQ(std::tuple(d.hWnd, d.uID, d.uFlags, d.uCallbackMessage, d.hIcon),
              std::tuple(std::uintptr_t {0x4a0016}, 1u, 7u, 516u, std::uintptr_t {0x1c0b}));
    EXPECT_EQ(TrayTipText(d), "Local IP is 192.168.1.20");

    tray.SetTrayTip("10.0.0.2 %40 Phyical Free ");
    EXPECT_EQ(TrayTipText(area.shown), "10.0.0.2 %40 Phyical Free ");
    tray.RemoveTrayIcon();
    EXPECT_EQ(area.icons, 0);

    // The tip is cut to 63 bytes, never inside a character.
    for (const auto &[tip, kept] : std::initializer_list<std::pair<std::string, std::string>> {
             {std::string(70, 'a'), std::string(63, 'a')},
             {std::string(62, 'c') + "\xc3\xa9", std::string(62, 'c')},
             {std::string(61, 'c') + "\xc3\xa9", std::string(61, 'c') + "\xc3\xa9"},
             {"", ""}}) {
        tray.SetTrayTip(tip);
        EXPECT_EQ(TrayTipText(tray.Data()), kept);
        EXPECT_EQ(tray.Data().szTip.back(), '\0');
    }
}
