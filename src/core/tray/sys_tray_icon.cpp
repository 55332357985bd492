#include "core/tray/sys_tray_icon.h"

namespace pellwick {

SysTrayIcon::SysTrayIcon(NotifyArea &area)
    : m_area(area)
{
}

void SysTrayIcon::AddTrayIcon(std::uintptr_t window, std::uintptr_t icon,
                              const std::string &localIp)
{
    m_data.hWnd = window;
    m_data.uID = kTrayIconId;
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_data.hIcon = icon;
    SetTrayTipText(m_data, "Local IP is " + localIp);
    m_data.uCallbackMessage = static_cast<std::uint32_t>(WM_RBUTTONDOWN);
    m_area.Notify(NotifyArea::NIM_DELETE, m_data);
    m_area.Notify(NotifyArea::NIM_ADD, m_data);
}

void SysTrayIcon::SetTrayTip(const std::string &tip)
{
    // The record is what the icon shows: a tip it already holds is not sent
    // again (each change costs the desktop a round trip).
    const auto shown = m_data.szTip;
    SetTrayTipText(m_data, tip);
    if (m_data.szTip != shown)
        m_area.Notify(NotifyArea::NIM_MODIFY, m_data);
}

void SysTrayIcon::RemoveTrayIcon()
{
    m_area.Notify(NotifyArea::NIM_DELETE, m_data);
}

} // namespace pellwick
