// SPDX-License-Identifier: MIT
#include "gui/win32/win32_notify_area.h"

#include "platform/windows/wide_text.h"

#include <shellapi.h>

#include <algorithm>

namespace pellwick {

namespace {

// The program's one icon.
constexpr UINT kIconId = 1;
// What adding the icon and changing its tip give the shell.
constexpr UINT kIconFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;

template<std::size_t N>
void copyText(wchar_t (&field)[N], const std::string &text, std::size_t limit)
{
    const std::wstring wide = Widen(text);
    std::copy_n(wide.begin(), std::min({wide.size(), limit, N - 1}), field);
}

} // namespace

void Win32NotifyArea::tell(DWORD operation, UINT flags, NOTIFYICONDATAW data) const
{
    data.cbSize = sizeof data;
    data.hWnd = m_window;
    data.uID = kIconId;
    data.uFlags = flags;
    data.uCallbackMessage = kCallbackMessage;
    data.hIcon = m_icon;
    // The tip holds at most 63 characters already; the shell's field more.
    if (m_shownTip)
        copyText(data.szTip, *m_shownTip, 63);
    Shell_NotifyIconW(operation, &data);
}

void Win32NotifyArea::ShowIcon(const std::string &tip)
{
    // Kept even when the add fails while no notification area exists yet,
    // which is what TaskbarCreated then mends.
    m_shownTip = tip;
    Readd();
}

void Win32NotifyArea::SetTip(const std::string &tip)
{
    if (!m_shownTip)
        return;
    m_shownTip = tip;
    tell(NIM_MODIFY, kIconFlags);
}

void Win32NotifyArea::HideIcon()
{
    tell(NIM_DELETE, 0);
    m_shownTip.reset();
}

void Win32NotifyArea::ShowMessage(const std::string &title, const std::string &text)
{
    // A balloon needs the icon; without one the failure stays in the debug log.
    if (!m_shownTip)
        return;
    NOTIFYICONDATAW balloon {};
    balloon.dwInfoFlags = NIIF_WARNING;
    copyText(balloon.szInfoTitle, title, 63);
    copyText(balloon.szInfo, text, 255);
    tell(NIM_MODIFY, NIF_INFO, balloon);
}

void Win32NotifyArea::Readd()
{
    if (!m_shownTip)
        return;
    tell(NIM_ADD, kIconFlags);
}

} // namespace pellwick
