#pragma once

#include "core/tray/tray_icon_data.h"

#include "gui/win32/win32_api.h"

#include <optional>

namespace pellwick {

// The shell's notification area through Shell_NotifyIconW. The record's tip is
// UTF-8 and becomes UTF-16 here. Events on the icon arrive at the record's window
// as kCallbackMessage with the mouse message in lParam: a message of the program's
// own, since the record's number (the right-button press) would be taken for a
// click on the window itself. When Explorer restarts, Readd puts the icon back.
class Win32NotifyArea : public NotifyArea
{
public:
    static constexpr UINT kCallbackMessage = WM_APP + 3;

    void Notify(int message, const TrayIconData &data) override;
    // A balloon by the icon (NIF_INFO) while the icon is shown.
    void ShowMessage(const std::string &title, const std::string &text) override;

    // Adds the icon again after the shell has lost it (TaskbarCreated), if it is shown.
    void Readd();
    bool IsShown() const { return m_shown.has_value(); }

private:
    std::optional<TrayIconData> m_shown;
};

} // namespace pellwick
