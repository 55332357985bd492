// SPDX-License-Identifier: MIT
#include "core/tray/sys_tray_icon.h"

#include "core/text/text.h"

namespace pellwick {

namespace {

// A cut inside a multi-byte character would leave the desktop an invalid text.
std::string cutTip(const std::string &tip)
{
    return tip.substr(0, Utf8CutLength(tip, kTrayTipBytes));
}

} // namespace

SysTrayIcon::SysTrayIcon(NotifyArea &area)
    : m_area(area)
{
}

void SysTrayIcon::AddTrayIcon(const std::string &localIp)
{
    m_tip = cutTip("Local IP is " + localIp);
    m_area.HideIcon();
    m_area.ShowIcon(m_tip);
}

void SysTrayIcon::SetTrayTip(const std::string &tip)
{
    // A tip the icon already shows is not sent again (each change costs the
    // desktop a round trip).
    std::string cut = cutTip(tip);
    if (cut == m_tip)
        return;
    m_tip = std::move(cut);
    m_area.SetTip(m_tip);
}

} // namespace pellwick
