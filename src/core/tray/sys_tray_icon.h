#pragma once

#include "core/tray/tray_icon_data.h"

#include <cstdint>
#include <string>

namespace pellwick {

// Keeps the program's one tray icon through its one record. All three
// operations pass the whole record, so a tip change also resends the window,
// icon and callback of the last add; before the first add the record is zero.
class SysTrayIcon
{
public:
    explicit SysTrayIcon(NotifyArea &area);

    // Fills the whole record (tip "Local IP is " + `localIp`), then deletes
    // any icon of this window and id and adds it again, so that repeated calls
    // never leave two icons.
    void AddTrayIcon(std::uintptr_t window, std::uintptr_t icon, const std::string &localIp);
    // Puts the text into the tip (cut to what the field holds) and updates the
    // icon when the tip changed.
    void SetTrayTip(const std::string &tip);
    void RemoveTrayIcon();

    const TrayIconData &Data() const { return m_data; }

private:
    NotifyArea &m_area;
    TrayIconData m_data;
};

} // namespace pellwick
