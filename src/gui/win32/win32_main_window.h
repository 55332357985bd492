// SPDX-License-Identifier: MIT
#pragma once

#include "core/window/lazy_window_view.h"

#include "gui/win32/win32_form_host.h"
#include "gui/win32/win32_server_dialog.h"
#include "gui/win32/win32_window.h"

#include <optional>

namespace pellwick {

class Win32NotifyArea;

// The Win32 shell of the settings window: its controls, the tray menu, Winsock,
// the window timer and the clipboard, handed to MainWindow, which decides
// everything. The window reports what the user does; it acts on nothing itself.
//
// The controls are made when the window is first shown or restored: a log-in
// run that stays hidden makes none.
class Win32MainWindow
    : private Clipboard
    , private LazyWindow
{
public:
    Win32MainWindow(HINSTANCE instance, Win32NotifyArea &notifyArea, MachineParts parts);
    ~Win32MainWindow() override;

    MainWindow &Form() { return m_host.Form(); }
    // A later start's request: an ordinary start brings the window up.
    HandOverReply HandedOver(const HandOver &handOver);
    HWND Window() const { return m_window.Window(); }
    HWND Handle(Control control) const { return m_window.Handle(control); }
    // MainWindow's Start, with the window shown (if at all) once its start-up
    // state is settled.
    void Load();
    // Keyboard navigation between the controls; true when the message was used.
    bool PreTranslate(MSG &message);

private:
    std::optional<LRESULT> onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void onCommand(WPARAM wParam, LPARAM lParam);
    // Reports the focus having come to another control of the window.
    void noteFocus();
    // Gives the focus to the control that had it last; false when there is none.
    bool restoreFocus();

    // Clipboard.
    void SetText(const std::string &text) override;
    // LazyWindow.
    bool ControlsMade() const override { return m_window.ControlsBuilt(); }
    void MakeControls() override;
    void ShowOnTaskBar() override { m_window.SetWindowVisible(true); }

    Win32Window m_window;
    LazyWindowView m_view;
    Win32NotifyArea &m_notifyArea;
    Win32ServerDialog m_serverDialog;
    UINT m_taskbarCreated;
    std::optional<Control> m_lastFocus;
    Win32FormHost m_host;
};

} // namespace pellwick
