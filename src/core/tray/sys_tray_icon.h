// SPDX-License-Identifier: MIT
#pragma once

#include "core/tray/notify_area.h"

#include <cstddef>
#include <string>

namespace pellwick {

// The tip holds at most this many bytes of text.
inline constexpr std::size_t kTrayTipBytes = 63;

// Keeps the program's one tray icon and the tip it shows.
class SysTrayIcon
{
public:
    explicit SysTrayIcon(NotifyArea &area);

    // Sets the tip to "Local IP is " + `localIp`, then takes down any icon
    // and puts it up again, so that repeated calls never leave two icons.
    void AddTrayIcon(const std::string &localIp);
    // Puts the text into the tip (cut to kTrayTipBytes, never inside a UTF-8
    // character) and tells the area when the tip changed.
    void SetTrayTip(const std::string &tip);
    void RemoveTrayIcon() { m_area.HideIcon(); }

    const std::string &Tip() const { return m_tip; }

private:
    NotifyArea &m_area;
    std::string m_tip;
};

} // namespace pellwick
