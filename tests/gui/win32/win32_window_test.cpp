// SPDX-License-Identifier: MIT
#include "core/settings/settings.h"
#include "core/window/window_description.h"
#include "gui/win32/win32_main_window.h"
#include "gui/win32/win32_notify_area.h"
#include "gui/win32/win32_server_dialog.h"
#include "gui/win32/win32_window.h"
#include "support/test_machine.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
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

// The caption fits inside the control (beside a check mark `mark` wide), wrapped
// where the control wraps (an edit control also breaks a word longer than a line).
void expectCaptionFits(HWND control, bool wraps, bool breaksWords, int mark,
                       const std::string &name)
{
    RECT client {};
    GetClientRect(control, &client);
    RECT room = client;
    HDC dc = GetDC(control);
    const HGDIOBJ old
        = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    const std::wstring text = textOf(control);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &room,
              DT_CALCRECT | DT_NOPREFIX | (wraps ? DT_WORDBREAK : DT_SINGLELINE)
                  | (breaksWords ? DT_EDITCONTROL : 0));
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    EXPECT_LE(room.right - room.left + mark, client.right) << name;
    EXPECT_LE(room.bottom - room.top, client.bottom) << name;
}

// What the user does once the modal dialog is up; a timer of the thread runs it
// from inside the dialog's own message loop.
std::function<void(HWND dialog)> g_userAtDialog;

void CALLBACK lookForDialog(HWND, UINT, UINT_PTR timer, DWORD)
{
    if (HWND dialog = FindWindowW(L"#32770", L"Mail Server")) {
        KillTimer(nullptr, timer);
        g_userAtDialog(dialog);
    }
}

std::optional<ServerDialog::Result> editAsUser(const SubmissionSettings &current,
                                               const std::string &fingerprint,
                                               std::function<void(HWND)> user)
{
    g_userAtDialog = std::move(user);
    SetTimer(nullptr, 0, 20, lookForDialog);
    return Win32ServerDialog(GetModuleHandleW(nullptr), nullptr).Edit(current, fingerprint);
}

} // namespace

TEST(Win32ServerDialog, TrustsTheCertificateShownAndGivesBackWhatWasTyped)
{
    using Id = Win32ServerDialog::ItemId;
    const std::string fingerprint = "AB:CD:" + std::string(87, '0');
    std::wstring shownPort;
    LRESULT shownSecurity = -1;
    const auto result = editAsUser({587, 1, "alice", ""}, fingerprint, [&](HWND dialog) {
        // Every text fits its control.
        for (HWND child = GetWindow(dialog, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t className[16] = {};
            GetClassNameW(child, className, 16);
            const bool edit = std::wstring(className) == L"Edit";
            const int id = GetDlgCtrlID(child);
            if (textOf(child).empty() || (edit && id != Id::presentedLabel))
                continue;
            expectCaptionFits(child, edit, edit, 0, std::to_string(id));
        }
        shownPort = textOf(GetDlgItem(dialog, Id::portField));
        shownSecurity = SendDlgItemMessageW(dialog, Id::securityField, CB_GETCURSEL, 0, 0);

        SendDlgItemMessageW(dialog, Id::trustButton, BM_CLICK, 0, 0);
        SetDlgItemTextW(dialog, Id::portField, L"2525");
        SetDlgItemTextW(dialog, Id::userField, L" bob ");
        SetDlgItemTextW(dialog, Id::passwordField, L"s3cr\u00e9t");
        SendDlgItemMessageW(dialog, IDOK, BM_CLICK, 0, 0);
    });
    EXPECT_EQ(shownPort, L"587");
    EXPECT_EQ(shownSecurity, 1);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->settings.port, 2525);
    EXPECT_EQ(result->settings.security, 1);
    EXPECT_EQ(result->settings.user, "bob");
    EXPECT_EQ(result->settings.pin, fingerprint);
    EXPECT_EQ(result->password, std::optional<std::string>("s3cr\xC3\xA9t"));

    // With no certificate seen there is nothing to trust; Cancel keeps everything.
    bool trustEnabled = true;
    EXPECT_FALSE(editAsUser({}, "", [&](HWND dialog) {
        trustEnabled = IsWindowEnabled(GetDlgItem(dialog, Id::trustButton));
        SetDlgItemTextW(dialog, Id::userField, L"mallory");
        SendDlgItemMessageW(dialog, IDCANCEL, BM_CLICK, 0, 0);
    }));
    EXPECT_FALSE(trustEnabled);
}

TEST(Win32Window, EveryControlLiesOnItsPageAndEveryCaptionFitsAtEachResolution)
{
    Win32Window window(GetModuleHandleW(nullptr));
    window.BuildControls();
    const int checkMark = GetSystemMetrics(SM_CXMENUCHECK);
    // As drawn, and moved to a monitor of one and a half times the resolution.
    for (const int dpi : {96, 144}) {
        window.SetDpi(dpi);
        for (const ControlDescription &layout : WindowControls()) {
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
            expectCaptionFits(control, layout.control == Control::TipText, false,
                              layout.kind == WidgetKind::Check ? checkMark : 0, name);
        }
    }
}

TEST(Win32Window, TheKeyboardVisitsEachTabsControlsInTheirFocusOrder)
{
    Win32Window window(GetModuleHandleW(nullptr));
    window.BuildControls();
    const std::vector<std::pair<Tab, std::vector<Control>>> orders {
        {Tab::Email,
         {Control::SmtpServer, Control::Recipient, Control::Sender, Control::Subject,
          Control::Message, Control::SendEmailButton, Control::InsertIpButton,
          Control::ServerButton}},
        {Tab::Settings,
         {Control::EmailIpOnStartup, Control::AutoMail, Control::EmailOnNewIp, Control::AutoExit,
          Control::StartMinimized, Control::DisplayIcon, Control::ShowIp,
          Control::ShowVirtualMemory, Control::ShowPhysicalMemory, Control::TimerSend,
          Control::TimerUnit, Control::TimerRate}},
        {Tab::Misc, {Control::CopyIpButton, Control::CopyIpOnStartup, Control::ShowDebug}},
    };
    ShowWindow(window.Window(), SW_SHOW);
    for (const auto &[tab, order] : orders) {
        window.SetCurrentTab(tab);
        for (const Control control : order)
            EnableWindow(window.Handle(control), TRUE);
        std::vector<Control> visited;
        HWND at = window.Handle(Control::Tabs);
        for (std::size_t i = 0; i < order.size(); ++i) {
            at = GetNextDlgTabItem(window.Window(), at, FALSE);
            visited.push_back(window.ControlOf(at).value_or(Control::Tabs));
        }
        EXPECT_EQ(visited, order) << static_cast<int>(tab);
    }
}

TEST(Win32Window, TheDebugTabLeavesAndComesBackAfterAbout)
{
    Win32Window window(GetModuleHandleW(nullptr));
    window.BuildControls();
    HWND tabs = window.Handle(Control::Tabs);
    window.SetCurrentTab(Tab::Misc);
    window.SetTabVisible(Tab::Debug, false);
    EXPECT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 4);
    EXPECT_EQ(window.CurrentTab(), Tab::Misc);
    window.SetTabVisible(Tab::Debug, true);
    window.SetCurrentTab(Tab::Debug);
    EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 4);
    EXPECT_EQ(window.CurrentTab(), Tab::Debug);
}

namespace {

BOOL CALLBACK collectText(HWND child, LPARAM texts)
{
    reinterpret_cast<std::vector<std::wstring> *>(texts)->push_back(textOf(child));
    return TRUE;
}

} // namespace

TEST(Win32MainWindow, AHiddenStartMakesNoControlsUntilTheWindowIsRestored)
{
    test::TestMachine machine;
    machine.hive.Write("StartMinimized", Stored(1));
    machine.hive.Write("SMTPServer", Stored(std::string("mail.example.com")));
    Win32NotifyArea tray;
    Win32MainWindow shell(GetModuleHandleW(nullptr), tray, machine.Parts());
    shell.Load();
    EXPECT_FALSE(IsWindowVisible(shell.Window()));
    EXPECT_EQ(GetWindow(shell.Window(), GW_CHILD), nullptr);

    shell.Form().RestoreWindow();
    EXPECT_TRUE(IsWindowVisible(shell.Window()));
    std::vector<std::wstring> texts;
    EnumChildWindows(shell.Window(), collectText, reinterpret_cast<LPARAM>(&texts));
    EXPECT_NE(std::find(texts.begin(), texts.end(), L"mail.example.com"), texts.end());
}

TEST(Win32NotifyArea, ADoubleClickOpensTheWindowAndARightClickTheMenu)
{
    using Row = std::pair<UINT, std::optional<TrayClick>>;
    for (const auto &[message, click] :
         {Row {WM_LBUTTONDBLCLK, TrayClick::OpenWindow}, Row {WM_RBUTTONUP, TrayClick::OpenMenu},
          Row {WM_LBUTTONUP, std::nullopt}})
        EXPECT_EQ(Win32NotifyArea::ClickOf(message), click) << message;
}
