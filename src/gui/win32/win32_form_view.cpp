// Win32Window as frmMain's view.
#include "core/form/window_description.h"
#include "gui/win32/win32_window.h"
#include "platform/windows/wide_text.h"

#include <string>

namespace pellwick {

namespace {

// An edit control breaks lines only at CRLF: a lone CR or LF becomes one.
std::wstring withCrLf(const std::wstring &text)
{
    std::wstring lines;
    lines.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' || text[i] == L'\n') {
            lines += L"\r\n";
            if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')
                ++i;
        } else {
            lines += text[i];
        }
    }
    return lines;
}

} // namespace

std::string Win32Window::Text(Control control) const
{
    return Narrow(WindowText(Handle(control)));
}

void Win32Window::SetText(Control control, const std::string &text)
{
    SetWindowTextW(Handle(control), withCrLf(Widen(text)).c_str());
}

std::string Win32Window::Caption() const
{
    return Narrow(WindowText(m_window));
}

void Win32Window::SetCaption(const std::string &caption)
{
    SetWindowTextW(m_window, Widen(caption).c_str());
}

void Win32Window::AppendText(Control control, const std::string &text)
{
    HWND edit = Handle(control);
    // Insert at the end only: the cost of an append does not grow with the log.
    const auto end = static_cast<WPARAM>(GetWindowTextLengthW(edit));
    SendMessageW(edit, EM_SETSEL, end, static_cast<LPARAM>(end));
    const std::wstring lines = withCrLf(Widen(text));
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(lines.c_str()));
}

void Win32Window::DropLeadingText(Control control, const std::string &dropped)
{
    HWND edit = Handle(control);
    // The box holds the text as AppendText put it there, line breaks as CRLF.
    const auto end = static_cast<LPARAM>(withCrLf(Widen(dropped)).size());
    SendMessageW(edit, EM_SETSEL, 0, end);
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
    const auto last = static_cast<WPARAM>(GetWindowTextLengthW(edit));
    SendMessageW(edit, EM_SETSEL, last, static_cast<LPARAM>(last));
}

void Win32Window::ShowSaveFailure(const std::string &message)
{
    const std::wstring text = Widen(message);
    MessageBoxW(m_window, text.c_str(), Widen(kWindowTitle).c_str(), MB_OK | MB_ICONWARNING);
}

TextSelection Win32Window::Selection(Control control) const
{
    HWND edit = Handle(control);
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const std::wstring text = WindowText(edit);
    const std::size_t from = Narrow(text.substr(0, start)).size();
    return {from, Narrow(text.substr(0, end)).size() - from};
}

// A check box's states are numbered as frmMain's values.
static_assert(BST_UNCHECKED == vbUnchecked && BST_CHECKED == vbChecked
              && BST_INDETERMINATE == vbGrayed);

int Win32Window::Value(Control control) const
{
    return static_cast<int>(SendMessageW(Handle(control), BM_GETCHECK, 0, 0));
}

void Win32Window::SetValue(Control control, int value)
{
    HWND box = Handle(control);
    // Only a box set grey by the program shows the third state.
    SendMessageW(box, BM_SETSTYLE, value == vbGrayed ? BS_AUTO3STATE : BS_AUTOCHECKBOX, TRUE);
    SendMessageW(box, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void Win32Window::SetListIndex(Control control, int index)
{
    SendMessageW(Handle(control), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    m_unitListIndex = index;
}

void Win32Window::SetVisible(Control control, bool visible)
{
    m_hidden[Index(control)] = !visible;
    ShowWindow(Handle(control), visible ? SW_SHOWNA : SW_HIDE);
}

void Win32Window::SetState(WindowState state)
{
    m_applyingState = true;
    // A hidden window shows for this moment: frmMain hides a minimised one
    // again, and shows a restored one.
    ShowWindow(m_window, state == WindowState::Minimized ? SW_MINIMIZE : SW_RESTORE);
    m_applyingState = false;
}

void Win32Window::SetWindowVisible(bool visible)
{
    HWND window = m_window;
    ShowWindow(window, visible ? (IsIconic(window) ? SW_SHOWMINIMIZED : SW_SHOW) : SW_HIDE);
    if (visible)
        SetForegroundWindow(window);
}

void Win32Window::Refresh()
{
    RedrawWindow(m_window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

bool Win32Window::MenuChecked(MenuItem item) const
{
    return (GetMenuState(m_menu, kFirstMenuCommand + static_cast<UINT>(item), MF_BYCOMMAND)
            & MF_CHECKED)
           != 0;
}

void Win32Window::SetMenuChecked(MenuItem item, bool checked)
{
    const UINT mark = checked ? MF_CHECKED : MF_UNCHECKED;
    CheckMenuItem(m_menu, kFirstMenuCommand + static_cast<UINT>(item), MF_BYCOMMAND | mark);
}

void Win32Window::PopupMenu()
{
    HWND window = m_window;
    POINT pointer {};
    GetCursorPos(&pointer);
    // The menu opens from the pointer towards the middle of the screen, so from
    // a notification area at an edge it never covers the icon.
    MONITORINFO monitor {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromPoint(pointer, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT &area = monitor.rcMonitor;
    const UINT horizontal
        = pointer.x > (area.left + area.right) / 2 ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
    const UINT vertical = pointer.y > (area.top + area.bottom) / 2 ? TPM_BOTTOMALIGN : TPM_TOPALIGN;
    // The menu closes when clicked elsewhere only if its window is in front;
    // the message after it lets the menu's own loop end cleanly.
    SetForegroundWindow(window);
    TrackPopupMenu(m_menu, horizontal | vertical | TPM_RIGHTBUTTON, pointer.x, pointer.y, 0, window,
                   nullptr);
    PostMessageW(window, WM_NULL, 0, 0);
}

} // namespace pellwick
