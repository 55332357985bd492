#pragma once

#include "core/form/frm_main.h"
#include "core/form/in_memory_view.h"

#include "gui/win32/address_messages.h"
#include "gui/win32/console_end_requests.h"
#include "gui/win32/hidden_window.h"
#include "gui/win32/win32_main_window.h"
#include "gui/win32/window_timers.h"
#include "platform/windows/winsock_socket.h"

#include <optional>

namespace pellwick {

// frmMain with no window and no tray (--headless): the in-memory view, with
// Winsock, the timers and address changes on a window nobody sees. A request
// to end from outside (WM_CLOSE, the session's end, the console's Ctrl+C or
// close) ends the program as Exit does, with the save.
class Win32HeadlessShell : private Clipboard
{
public:
    Win32HeadlessShell(HINSTANCE instance, NotifyArea &notifyArea, MachineParts parts);

    frmMain &Form() { return m_form; }

private:
    std::optional<LRESULT> onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Clipboard: a run without a desktop has none; the address is in the mail.
    void SetText(const std::string &text) override { (void)text; }

    HiddenWindow m_window;
    InMemoryView m_view;
    WinsockSocket wckMain;
    WindowTimers m_timers;
    AddressMessages m_addresses;
    frmMain m_form;
    ConsoleEndRequests m_endRequests;
};

} // namespace pellwick
