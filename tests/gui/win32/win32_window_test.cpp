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

#include <functional>
#include <optional>
#include <string>
#include <tuple>

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
    ASSERT_TRUE(result && result->password);
    const SubmissionSettings &got = result->settings;
    EXPECT_EQ(std::tuple(shownPort, shownSecurity, got.port, got.security, got.user, got.pin,
                         *result->password),
              std::tuple(std::wstring(L"587"), LRESULT {1}, 2525, 1, std::string("bob"),
                         fingerprint, std::string("s3cr\xC3\xA9t")));

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

namespace {

// The program's own loop over what is queued: the shell sees each message first.
void pump(Win32MainWindow &shell)
{
    PostMessageW(shell.Window(), WM_NULL, 0, 0);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (!shell.PreTranslate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

} // namespace

TEST(Win32MainWindow, WhatTheUserDoesReachesTheProgramAsWindowsTellsIt)
{
    test::TestMachine machine;
    machine.hive.Write("StartMinimized", Stored(1));
    machine.hive.Write("ShowDebug", Stored(1));
    Win32NotifyArea area;
    Win32MainWindow shell(GetModuleHandleW(nullptr), area, machine.Parts());
    shell.Load();
    HWND main = shell.Window();
    // A hidden start makes no controls until the window is brought up.
    EXPECT_EQ(GetWindow(main, GW_CHILD), nullptr);
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                 100, 100, nullptr, nullptr, nullptr, nullptr);
    const auto h = [&shell](Control control) {
        return shell.Handle(control);
    };
    // Each click, key and notice as Windows sends it, then the loop runs on.
    const auto click = [&](Control control) {
        SendMessageW(h(control), WM_LBUTTONDOWN, MK_LBUTTON, 0);
        SendMessageW(h(control), WM_LBUTTONUP, 0, 0);
        pump(shell);
    };
    const auto type = [&](HWND field, std::wstring_view text) {
        SendMessageW(field, EM_SETSEL, 0, -1);
        for (const wchar_t c : text)
            SendMessageW(field, WM_CHAR, c, 1);
    };
    const auto showTab = [&](int index) {
        SendMessageW(h(Control::Tabs), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
        NMHDR changed {h(Control::Tabs), 0, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageW(main, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&changed));
    };
    const auto switchAway = [&] {
        SetActiveWindow(other);
        SetActiveWindow(main);
    };
    SendMessageW(main, Win32NotifyArea::kCallbackMessage, 0, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(IsWindowVisible(main) && GetWindow(main, GW_CHILD));
    switchAway();
    EXPECT_TRUE(IsChild(main, GetFocus()));
    click(Control::Subject);
    EXPECT_TRUE(IsWindowEnabled(h(Control::InsertIpButton)));
    SendMessageW(h(Control::InsertIpButton), BM_CLICK, 0, 0);
    EXPECT_NE(textOf(h(Control::Subject)).find(L"[IPADDRESS]"), std::wstring::npos);
    click(Control::Message);
    switchAway();
    EXPECT_EQ(GetFocus(), h(Control::Message));

    // A rate typed and a unit chosen set the countdown as the focus leaves; a unit
    // typed into the list's field counts at once.
    showTab(1);
    SendMessageW(h(Control::TimerSend), BM_CLICK, 0, 0);
    click(Control::TimerRate);
    type(h(Control::TimerRate), L"3");
    SendMessageW(h(Control::TimerUnit), CB_SETCURSEL, 1, 0);
    SendMessageW(GetParent(h(Control::TimerUnit)), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(h(Control::TimerUnit)));
    SetFocus(h(Control::TimerUnit));
    pump(shell);
    EXPECT_EQ(shell.Form().Countdown(), 3 * 60 * 1000);
    type(GetWindow(h(Control::TimerUnit), GW_CHILD), L"Hours");
    EXPECT_EQ(shell.Form().Countdown(), 3 * 3600 * 1000);

    showTab(2);
    SendMessageW(h(Control::ShowDebug), BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(h(Control::Tabs), TCM_GETITEMCOUNT, 0, 0), 4);

    // Minimised, the window goes to the tray; a single click on the icon is no
    // restore, a double click is.
    SendMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(IsWindowVisible(main));
    SendMessageW(main, Win32NotifyArea::kCallbackMessage, 0, WM_LBUTTONUP);
    EXPECT_FALSE(IsWindowVisible(main));
    SendMessageW(main, Win32NotifyArea::kCallbackMessage, 0, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(IsWindowVisible(main) && !IsIconic(main));
    DestroyWindow(other);
}
