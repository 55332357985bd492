// SPDX-License-Identifier: MIT
#pragma once

#include "core/tray/notify_area.h"

#include "gui/win32/win32_api.h"

#include <optional>
#include <string>

namespace pellwick {

// The shell's notification area through Shell_NotifyIconW, for the one icon of
// the window given to Attach. Events on the icon arrive at that window as
// kCallbackMessage with the mouse message in lParam (ClickOf says what it asks
// for): a message of the program's own, since the shell's own numbers would be
// taken for a click on the window itself. When Explorer restarts, Readd puts
// the icon back.
class Win32NotifyArea : public NotifyArea
{
public:
    static constexpr UINT kCallbackMessage = WM_APP + 3;

    // The window the icon's events go to, and the picture it shows.
    void Attach(HWND window, HICON icon)
    {
        m_window = window;
        m_icon = icon;
    }
    void ShowIcon(const std::string &tip) override;
    void SetTip(const std::string &tip) override;
    void HideIcon() override;
    // A balloon by the icon (NIF_INFO) while the icon is shown.
    void ShowMessage(const std::string &title, const std::string &text) override;

    // Adds the icon again after the shell has lost it (TaskbarCreated), if it is shown.
    void Readd();
    // A double-click opens the window, the right button's release the menu.
    static std::optional<TrayClick> ClickOf(UINT mouseMessage)
    {
        if (mouseMessage == WM_LBUTTONDBLCLK)
            return TrayClick::OpenWindow;
        if (mouseMessage == WM_RBUTTONUP)
            return TrayClick::OpenMenu;
        return std::nullopt;
    }

private:
    // Tells the shell `operation` on the icon; `data` may hold a balloon.
    void tell(DWORD operation, UINT flags, NOTIFYICONDATAW data = {}) const;

    HWND m_window = nullptr;
    HICON m_icon = nullptr;
    // The tip of the icon meant to be shown; none while it is hidden.
    std::optional<std::string> m_shownTip;
};

} // namespace pellwick
