#include "gui/win32/win32_form_host.h"

namespace pellwick {

Win32FormHost::Win32FormHost(HWND window, FormView &view, MachineParts parts,
                             NotifyArea &notifyArea, Clipboard &clipboard,
                             ServerDialog *serverDialog)
    : m_window(window)
    , wckMain(window, [this](std::int32_t count) { m_form.wckMain_DataArrival(count); })
    , m_timers(window, [this] { m_form.tmrMain_Timer(); })
    , m_addressWatch(WatchAddresses([this] {
        if (!m_addressPosted.exchange(true))
            PostMessageW(m_window, kAddressMessage, 0, 0);
    }))
    , m_form(view, FormParts {std::move(parts),
                              ShellParts {wckMain, m_timers, m_timers, notifyArea, clipboard,
                                          m_addressWatch != nullptr, serverDialog}})
{
}

std::optional<LRESULT> Win32FormHost::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (wckMain.HandleMessage(message, wParam, lParam))
        return 0;
    switch (message) {
    case kAddressMessage:
        // The next change posts again.
        m_addressPosted = false;
        m_form.AddressChanged();
        return 0;
    case WM_TIMER:
        m_timers.HandleTimer(wParam);
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        // The session ends whether or not the program has.
        if (wParam)
            m_form.ExitApp();
        return 0;
    default:
        return std::nullopt;
    }
}

} // namespace pellwick
