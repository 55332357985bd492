// The one tray record and what each tray operation hands to the notification area.
#include "core/tray/sys_tray_icon.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using pellwick::NotifyArea;
using pellwick::SysTrayIcon;
using pellwick::TrayIconData;

namespace {

class RecordingArea : public NotifyArea
{
public:
    void Notify(int message, const TrayIconData &data) override
    {
        calls.push_back({message, data});
    }

    struct Call
    {
        int message;
        TrayIconData data;
    };
    std::vector<Call> calls;
};

bool AllZero(const TrayIconData &d, bool exceptTip = false)
{
    bool zero = d.cbSize == 0 && d.hWnd == 0 && d.uID == 0 && d.uFlags == 0
                && d.uCallbackMessage == 0 && d.hIcon == 0;
    for (const char c : d.szTip)
        zero = zero && (exceptTip || c == '\0');
    return zero;
}

// The tip's 64 bytes: the text, then NULs to the end.
std::string TipBytes(const TrayIconData &d)
{
    return std::string(d.szTip.begin(), d.szTip.end());
}

std::string Padded(const std::string &text)
{
    return text + std::string(64 - text.size(), '\0');
}

} // namespace

TEST(SysTrayIcon, AddFillsTheRecordThenDeletesAndAdds)
{
    RecordingArea area;
    SysTrayIcon tray(area);
    EXPECT_TRUE(AllZero(tray.Data()));

    tray.AddTrayIcon(0x4a0016, 0x1c0b, "192.168.1.20");
    ASSERT_EQ(area.calls.size(), 2u);
    EXPECT_EQ(area.calls[0].message, NotifyArea::NIM_DELETE);
    EXPECT_EQ(area.calls[1].message, NotifyArea::NIM_ADD);
    for (const auto &call : area.calls) {
        EXPECT_EQ(call.data.cbSize, 88u);
        EXPECT_EQ(call.data.hWnd, 0x4a0016u);
        EXPECT_EQ(call.data.uID, 1u);
        EXPECT_EQ(call.data.uFlags, 7u);
        EXPECT_EQ(call.data.uCallbackMessage, 516u);
        EXPECT_EQ(call.data.hIcon, 0x1c0bu);
        EXPECT_EQ(TipBytes(call.data), Padded("Local IP is 192.168.1.20"));
    }

    // A later tip keeps the rest of the record; removing changes nothing.
    tray.SetTrayTip("10.0.0.2 %40 Phyical Free ");
    tray.RemoveTrayIcon();
    ASSERT_EQ(area.calls.size(), 4u);
    EXPECT_EQ(area.calls[2].message, NotifyArea::NIM_MODIFY);
    EXPECT_EQ(area.calls[3].message, NotifyArea::NIM_DELETE);
    EXPECT_EQ(area.calls[3].data.hWnd, 0x4a0016u);
    EXPECT_EQ(area.calls[3].data.uFlags, 7u);
    EXPECT_EQ(TipBytes(area.calls[3].data), Padded("10.0.0.2 %40 Phyical Free "));

    // Adding again starts the tip afresh.
    tray.SetTrayTip(std::string(63, 'x'));
    tray.AddTrayIcon(0x4a0016, 0x1c0b, "10.0.0.3");
    EXPECT_EQ(TipBytes(tray.Data()), Padded("Local IP is 10.0.0.3"));
}

TEST(SysTrayIcon, TipIsCutToSixtyThreeCharactersAndEndsInNul)
{
    RecordingArea area;
    SysTrayIcon tray(area);

    // Before any add only the tip is filled in.
    tray.SetTrayTip("early");
    ASSERT_EQ(area.calls.size(), 1u);
    EXPECT_EQ(area.calls[0].message, NotifyArea::NIM_MODIFY);
    EXPECT_TRUE(AllZero(area.calls[0].data, true));
    EXPECT_EQ(TipBytes(area.calls[0].data), Padded("early"));

    const std::string long70(70, 'a');
    tray.SetTrayTip(long70);
    EXPECT_EQ(TipBytes(tray.Data()), long70.substr(0, 63) + '\0');
    tray.SetTrayTip(std::string(63, 'b'));
    EXPECT_EQ(TipBytes(tray.Data()), std::string(63, 'b') + '\0');
    // A two-byte character that would straddle the cut is left out whole.
    tray.SetTrayTip(std::string(62, 'c') + "\xc3\xa9");
    EXPECT_EQ(TipBytes(tray.Data()), std::string(62, 'c') + std::string(2, '\0'));
    tray.SetTrayTip("");
    EXPECT_EQ(TipBytes(tray.Data()), Padded(""));
}
