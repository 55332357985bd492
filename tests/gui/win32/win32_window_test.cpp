#include "core/form/controls.h"
#include "gui/win32/win32_controls.h"
#include "gui/win32/win32_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pellwick;

namespace {

std::wstring textOf(HWND control)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The room the caption takes inside the control, wrapped where the control wraps.
SIZE captionSize(HWND control, bool wraps)
{
    RECT room {};
    GetClientRect(control, &room);
    HDC dc = GetDC(control);
    const HGDIOBJ old
        = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    const std::wstring text = textOf(control);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &room,
              DT_CALCRECT | DT_NOPREFIX | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return {room.right - room.left, room.bottom - room.top};
}

} // namespace

TEST(Win32Window, EveryControlLiesOnItsPageAndEveryCaptionFitsAtEachResolution)
{
    Win32Window window(GetModuleHandleW(nullptr));
    const int checkMark = GetSystemMetrics(SM_CXMENUCHECK);
    // As drawn, and moved to a monitor of one and a half times the resolution.
    for (const int dpi : {96, 144}) {
        window.SetDpi(dpi);
        for (const ControlLayout &layout : ControlLayouts()) {
            HWND control = window.Handle(layout.control);
            RECT page {};
            RECT box {};
            GetClientRect(GetParent(control), &page);
            GetWindowRect(control, &box);
            MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT *>(&box), 2);
            const std::string name
                = std::string(ControlName(layout.control)) + " at " + std::to_string(dpi);
            EXPECT_TRUE(box.left >= 0 && box.top >= 0 && box.right <= page.right
                        && box.bottom <= page.bottom)
                << name;
            if (layout.caption.empty() || layout.kind == WidgetKind::Rect)
                continue;
            RECT client {};
            GetClientRect(control, &client);
            const SIZE caption = captionSize(control, layout.control == Control::lblTip);
            const int mark = layout.kind == WidgetKind::Check ? checkMark : 0;
            EXPECT_LE(caption.cx + mark, client.right) << name;
            EXPECT_LE(caption.cy, client.bottom) << name;
        }
    }
}

TEST(Win32Window, TheKeyboardVisitsEachTabsControlsInTheirFocusOrder)
{
    Win32Window window(GetModuleHandleW(nullptr));
    const std::vector<std::pair<Tab, std::vector<Control>>> orders {
        {Tab::Email,
         {Control::txtSmtpServer, Control::txtRecipient, Control::txtSender, Control::txtSubject,
          Control::txtMsg, Control::btnSendEmail, Control::btnInsertIP, Control::btnServer}},
        {Tab::Settings,
         {Control::chkEmailIPOnStartup, Control::chkAutoMail, Control::chkAutoEmailOnNewIP,
          Control::chkAutoExit, Control::chkMinimized, Control::chkDisplayIcon, Control::chkShowIP,
          Control::chkShowVirtualMem, Control::chkShowPhyMem, Control::chkTimerSend,
          Control::cmbTimerRate, Control::txtTimerRate}},
        {Tab::Misc,
         {Control::btnCopyIPToClip, Control::chkCopyToClipOnStartup, Control::chkShowDebug}},
    };
    ShowWindow(window.Window(), SW_SHOW);
    for (const auto &[tab, order] : orders) {
        window.SetCurrentTab(tab);
        for (const Control control : order)
            EnableWindow(window.Handle(control), TRUE);
        std::vector<Control> visited;
        HWND at = window.Handle(Control::tabMain);
        for (std::size_t i = 0; i < order.size(); ++i) {
            at = GetNextDlgTabItem(window.Window(), at, FALSE);
            visited.push_back(window.ControlOf(at).value_or(Control::tabMain));
        }
        EXPECT_EQ(visited, order) << static_cast<int>(tab);
    }
}

TEST(Win32Window, TheDebugTabLeavesAndComesBackAfterAbout)
{
    Win32Window window(GetModuleHandleW(nullptr));
    HWND tabs = window.Handle(Control::tabMain);
    window.SetCurrentTab(Tab::Misc);
    window.SetTabVisible(Tab::Debug, false);
    EXPECT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 4);
    EXPECT_EQ(window.CurrentTab(), Tab::Misc);
    window.SetTabVisible(Tab::Debug, true);
    window.SetCurrentTab(Tab::Debug);
    EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 4);
    EXPECT_EQ(window.CurrentTab(), Tab::Debug);
}
