// SPDX-License-Identifier: MIT
#include "gui/win32/win32_main_window.h"

#include "gui/win32/win32_notify_area.h"
#include "platform/single_instance.h"
#include "platform/windows/instance_window.h"
#include "platform/windows/wide_text.h"

#include <commctrl.h>

#include <cstring>

namespace pellwick {

Win32MainWindow::Win32MainWindow(HINSTANCE instance, Win32NotifyArea &notifyArea,
                                 MachineParts parts)
    : m_window(instance)
    , m_view(*this, m_window)
    , m_notifyArea(notifyArea)
    , m_serverDialog(instance, m_window.Window())
    , m_taskbarCreated(RegisterWindowMessageW(L"TaskbarCreated"))
    , m_host(m_window.Window(), m_view, std::move(parts), notifyArea, *this, &m_serverDialog)
{
    m_window.SetHandler([this](UINT message, WPARAM wParam, LPARAM lParam) {
        return onMessage(message, wParam, lParam);
    });
    notifyArea.Attach(m_window.Window(), m_window.Icon());
}

Win32MainWindow::~Win32MainWindow()
{
    m_window.SetHandler(nullptr);
}

HandOverReply Win32MainWindow::HandedOver(const HandOver &handOver)
{
    // Made before the restore, which takes the size they need.
    if (handOver.request == InstanceRequest::Show)
        MakeControls();
    return Form().HandedOver(handOver);
}

void Win32MainWindow::Load()
{
    m_view.BeginBatch();
    Form().Start();
    m_view.EndBatch();
}

void Win32MainWindow::MakeControls()
{
    if (m_window.ControlsBuilt())
        return;
    m_window.BuildControls();
    m_view.ControlsBuilt();
}

bool Win32MainWindow::PreTranslate(MSG &message)
{
    const bool used = IsDialogMessageW(m_window.Window(), &message) != FALSE;
    noteFocus();
    return used;
}

void Win32MainWindow::noteFocus()
{
    // Only focus coming to a control of this window counts: the window losing
    // the focus, or the menu taking it, is no move. The first control to get
    // it is reported as coming from none.
    std::optional<Control> now;
    for (HWND window = GetFocus(); window && !now; window = GetParent(window))
        now = m_window.ControlOf(window);
    if (!now || now == m_lastFocus)
        return;
    const std::optional<Control> from = m_lastFocus;
    m_lastFocus = now;
    Form().FocusMoved(from, *now);
}

bool Win32MainWindow::restoreFocus()
{
    if (!m_window.ControlsBuilt() || IsIconic(m_window.Window()))
        return false;
    // As a dialog does: back to the control left, else to the first one the
    // keyboard reaches, never to the bare window where typing goes nowhere.
    HWND target = m_lastFocus ? m_window.Handle(*m_lastFocus) : nullptr;
    if (!target || !IsWindowVisible(target) || !IsWindowEnabled(target))
        target = GetNextDlgTabItem(m_window.Window(), nullptr, FALSE);
    if (!target)
        return false;
    SetFocus(target);
    noteFocus();
    return true;
}

std::optional<LRESULT> Win32MainWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (const auto handled = m_host.OnMessage(message, wParam, lParam))
        return handled;
    if (message == m_taskbarCreated) {
        m_notifyArea.Readd();
        return 0;
    }
    // A later start of the program, answered on this thread.
    if (RunCarriedCall(message, lParam))
        return 0;
    switch (message) {
    case WM_COMMAND:
        onCommand(wParam, lParam);
        return 0;
    case WM_NOTIFY:
        if (reinterpret_cast<const NMHDR *>(lParam)->code == static_cast<UINT>(TCN_SELCHANGE))
            m_window.ShowCurrentPage();
        return 0;
    // The window comes on screen for the first time: its controls are due. A
    // minimised one gets them as it is restored.
    case WM_SHOWWINDOW:
        if (wParam && !IsIconic(m_window.Window()))
            MakeControls();
        return std::nullopt;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_RESTORE)
            MakeControls();
        return std::nullopt;
    case WM_QUERYOPEN:
        MakeControls();
        return std::nullopt;
    case Win32NotifyArea::kCallbackMessage:
        if (const auto click = Win32NotifyArea::ClickOf(LOWORD(lParam)))
            Form().TrayIconClicked(*click);
        return 0;
    case WM_SIZE:
        if ((wParam == SIZE_MINIMIZED || wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED)
            && !m_window.ApplyingState())
            Form().WindowStateChanged();
        return 0;
    case WM_DPICHANGED: {
        // Laid out again for the new resolution, where Windows suggests.
        m_window.SetDpi(HIWORD(wParam));
        const auto *suggested = reinterpret_cast<const RECT *>(lParam);
        SetWindowPos(m_window.Window(), nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    // Leaving, the control with the focus is noted (it loses the focus only
    // after this); coming back, it gets the focus again.
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            noteFocus();
            return std::nullopt;
        }
        return restoreFocus() ? std::optional<LRESULT>(0) : std::nullopt;
    case WM_SETFOCUS:
        return restoreFocus() ? std::optional<LRESULT>(0) : std::nullopt;
    case WM_CLOSE:
        Form().WindowClosed();
        return 0;
    default:
        return std::nullopt;
    }
}

void Win32MainWindow::onCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    if (lParam == 0) {
        if (id >= Win32Window::kFirstMenuCommand
            && id <= Win32Window::kFirstMenuCommand + static_cast<UINT>(MenuItem::Exit))
            Form().MenuItemChosen(static_cast<MenuItem>(id - Win32Window::kFirstMenuCommand));
        return;
    }
    HWND source = reinterpret_cast<HWND>(lParam);
    const std::optional<Control> control = m_window.ControlOf(source);
    if (!control)
        return;
    if (code == BN_CLICKED) {
        const auto style = GetWindowLongPtrW(source, GWL_STYLE) & BS_TYPEMASK;
        // The dialog manager makes the focused push button the default one.
        if (style == BS_PUSHBUTTON || style == BS_DEFPUSHBUTTON) {
            Form().UserClicked(*control);
            return;
        }
        // A grey box clicked by the user becomes checked and has two states from then on.
        if (style == BS_AUTO3STATE) {
            SendMessageW(source, BM_SETSTYLE, BS_AUTOCHECKBOX, TRUE);
            SendMessageW(source, BM_SETCHECK, BST_CHECKED, 0);
        }
        Form().UserChangedValue(*control);
    } else if (*control == Control::TimerUnit && code == CBN_SELCHANGE) {
        m_window.SetUnitChoice(static_cast<int>(SendMessageW(source, CB_GETCURSEL, 0, 0)));
    } else if (*control == Control::TimerUnit && code == CBN_EDITCHANGE) {
        m_window.SetUnitChoice(-1);
        Form().UserChangedText(*control);
    }
}

void Win32MainWindow::SetText(const std::string &text)
{
    if (!OpenClipboard(m_window.Window()))
        return;
    EmptyClipboard();
    const std::wstring wide = Widen(text);
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        std::memcpy(GlobalLock(memory), wide.c_str(), bytes);
        GlobalUnlock(memory);
        // The clipboard owns the memory once it has taken it.
        if (!SetClipboardData(CF_UNICODETEXT, memory))
            GlobalFree(memory);
    }
    CloseClipboard();
}

} // namespace pellwick
