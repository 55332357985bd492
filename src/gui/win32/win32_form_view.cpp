#include "gui/win32/win32_form_view.h"

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

Win32FormView::Win32FormView(Win32Window &window)
    : m_window(window)
{
}

std::string Win32FormView::Text(Control control) const
{
    return Narrow(WindowText(m_window.Handle(control)));
}

void Win32FormView::SetText(Control control, const std::string &text)
{
    SetWindowTextW(m_window.Handle(control), withCrLf(Widen(text)).c_str());
}

std::string Win32FormView::Caption() const
{
    return Narrow(WindowText(m_window.Window()));
}

void Win32FormView::SetCaption(const std::string &caption)
{
    SetWindowTextW(m_window.Window(), Widen(caption).c_str());
}

void Win32FormView::AppendText(Control control, const std::string &text)
{
    HWND edit = m_window.Handle(control);
    // Insert at the end only: the cost of an append does not grow with the log.
    const auto end = static_cast<WPARAM>(GetWindowTextLengthW(edit));
    SendMessageW(edit, EM_SETSEL, end, static_cast<LPARAM>(end));
    const std::wstring lines = withCrLf(Widen(text));
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(lines.c_str()));
}

void Win32FormView::DropLeadingText(Control control, const std::string &dropped)
{
    HWND edit = m_window.Handle(control);
    // The box holds the text as AppendText put it there, line breaks as CRLF.
    const auto end = static_cast<LPARAM>(withCrLf(Widen(dropped)).size());
    SendMessageW(edit, EM_SETSEL, 0, end);
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
    const auto last = static_cast<WPARAM>(GetWindowTextLengthW(edit));
    SendMessageW(edit, EM_SETSEL, last, static_cast<LPARAM>(last));
}

void Win32FormView::ShowSaveFailure(const std::string &message)
{
    const std::wstring text = Widen(message);
    MessageBoxW(m_window.Window(), text.c_str(), Widen(kWindowTitle).c_str(),
                MB_OK | MB_ICONWARNING);
}

TextSelection Win32FormView::Selection(Control control) const
{
    HWND edit = m_window.Handle(control);
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const std::wstring text = WindowText(edit);
    const std::size_t from = Narrow(text.substr(0, start)).size();
    return {from, Narrow(text.substr(0, end)).size() - from};
}

int Win32FormView::Value(Control control) const
{
    const LRESULT state = SendMessageW(m_window.Handle(control), BM_GETCHECK, 0, 0);
    return state == BST_CHECKED ? vbChecked : state == BST_INDETERMINATE ? vbGrayed : vbUnchecked;
}

void Win32FormView::SetValue(Control control, int value)
{
    HWND box = m_window.Handle(control);
    // Only a box set grey by the program shows the third state.
    SendMessageW(box, BM_SETSTYLE, value == vbGrayed ? BS_AUTO3STATE : BS_AUTOCHECKBOX, TRUE);
    SendMessageW(box, BM_SETCHECK,
                 value == vbGrayed    ? BST_INDETERMINATE
                 : value == vbChecked ? BST_CHECKED
                                      : BST_UNCHECKED,
                 0);
}

void Win32FormView::SetListIndex(Control control, int index)
{
    SendMessageW(m_window.Handle(control), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    m_unitListIndex = index;
}

void Win32FormView::SetState(WindowState state)
{
    m_applyingState = true;
    // A hidden window shows for this moment: frmMain hides a minimised one
    // again, and shows a restored one.
    ShowWindow(m_window.Window(), state == WindowState::Minimized ? SW_MINIMIZE : SW_RESTORE);
    m_applyingState = false;
}

void Win32FormView::SetWindowVisible(bool visible)
{
    HWND window = m_window.Window();
    ShowWindow(window, visible ? (IsIconic(window) ? SW_SHOWMINIMIZED : SW_SHOW) : SW_HIDE);
    if (visible)
        SetForegroundWindow(window);
}

void Win32FormView::Refresh()
{
    RedrawWindow(m_window.Window(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

bool Win32FormView::MenuChecked(MenuItem item) const
{
    return (GetMenuState(m_window.Menu(), Win32Window::kFirstMenuCommand + static_cast<UINT>(item),
                         MF_BYCOMMAND)
            & MF_CHECKED)
           != 0;
}

void Win32FormView::SetMenuChecked(MenuItem item, bool checked)
{
    const UINT mark = checked ? MF_CHECKED : MF_UNCHECKED;
    CheckMenuItem(m_window.Menu(), Win32Window::kFirstMenuCommand + static_cast<UINT>(item),
                  MF_BYCOMMAND | mark);
}

void Win32FormView::PopupMenu()
{
    HWND window = m_window.Window();
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
    TrackPopupMenu(m_window.Menu(), horizontal | vertical | TPM_RIGHTBUTTON, pointer.x, pointer.y,
                   0, window, nullptr);
    PostMessageW(window, WM_NULL, 0, 0);
}

} // namespace pellwick
