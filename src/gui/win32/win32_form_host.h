#pragma once

#include "core/form/frm_main.h"

#include "gui/win32/win32_api.h"
#include "gui/win32/window_timers.h"
#include "platform/address_watch.h"
#include "platform/windows/winsock_socket.h"

#include <atomic>
#include <memory>
#include <optional>

namespace pellwick {

// frmMain with what either shell gives it over a window of its own: Winsock,
// the timers, and address and route changes, which are told on a thread of the
// system's and come to the window as one message per burst of them.
class Win32FormHost
{
public:
    static constexpr UINT kAddressMessage = WM_APP + 5;

    Win32FormHost(HWND window, FormView &view, MachineParts parts, NotifyArea &notifyArea,
                  Clipboard &clipboard, ServerDialog *serverDialog = nullptr);

    frmMain &Form() { return m_form; }
    // The socket's, the timers' and address changes' messages, and the end of
    // the session, which may always come and saves first, as Exit does.
    // Nullopt for any other message.
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    HWND m_window;
    WinsockSocket wckMain;
    WindowTimers m_timers;
    std::atomic<bool> m_addressPosted {false};
    std::unique_ptr<AddressWatch> m_addressWatch;
    frmMain m_form;
};

} // namespace pellwick
