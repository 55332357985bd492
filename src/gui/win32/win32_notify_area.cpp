#include "gui/win32/win32_notify_area.h"

#include "platform/windows/wide_text.h"

#include <shellapi.h>

#include <algorithm>

namespace pellwick {

namespace {

NOTIFYICONDATAW shellRecord(const TrayIconData &data)
{
    NOTIFYICONDATAW record {};
    record.cbSize = sizeof record;
    record.hWnd = reinterpret_cast<HWND>(data.hWnd);
    record.uID = data.uID;
    record.uFlags = data.uFlags;
    record.uCallbackMessage = Win32NotifyArea::kCallbackMessage;
    record.hIcon = reinterpret_cast<HICON>(data.hIcon);
    const std::wstring tip = Widen(TrayTipText(data));
    // The record's tip holds at most 63 characters already; the shell's field more.
    std::copy_n(tip.begin(), std::min<std::size_t>(tip.size(), 63), record.szTip);
    return record;
}

} // namespace

void Win32NotifyArea::Notify(int message, const TrayIconData &data)
{
    // The shell's message numbers are the record's: add 0, modify 1, delete 2.
    NOTIFYICONDATAW record = shellRecord(data);
    Shell_NotifyIconW(static_cast<DWORD>(message), &record);
    // What Readd needs: the icon meant to be shown (an add may fail while no
    // notification area exists yet, which is what TaskbarCreated then mends).
    if (static_cast<DWORD>(message) == NIM_DELETE)
        m_shown.reset();
    else if (static_cast<DWORD>(message) == NIM_ADD || m_shown)
        m_shown = data;
}

void Win32NotifyArea::ShowMessage(const std::string &title, const std::string &text)
{
    // A balloon needs the icon; without one the failure stays in the debug log.
    if (!m_shown)
        return;
    NOTIFYICONDATAW record = shellRecord(*m_shown);
    record.uFlags = NIF_INFO;
    record.dwInfoFlags = NIIF_WARNING;
    const std::wstring wideTitle = Widen(title);
    const std::wstring wideText = Widen(text);
    std::copy_n(wideTitle.begin(), std::min<std::size_t>(wideTitle.size(), 63), record.szInfoTitle);
    std::copy_n(wideText.begin(), std::min<std::size_t>(wideText.size(), 255), record.szInfo);
    Shell_NotifyIconW(NIM_MODIFY, &record);
}

void Win32NotifyArea::Readd()
{
    if (!m_shown)
        return;
    NOTIFYICONDATAW record = shellRecord(*m_shown);
    Shell_NotifyIconW(NIM_ADD, &record);
}

} // namespace pellwick
