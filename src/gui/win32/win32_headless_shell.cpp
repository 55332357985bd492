#include "gui/win32/win32_headless_shell.h"

#include "gui/win32/session_end.h"

namespace pellwick {

Win32HeadlessShell::Win32HeadlessShell(HINSTANCE instance, NotifyArea &notifyArea,
                                       MachineParts parts)
    : m_window(instance)
    , wckMain(m_window.Window(), [this](std::int32_t count) { m_form.wckMain_DataArrival(count); })
    , m_timers(m_window.Window(), [this] { m_form.tmrMain_Timer(); })
    , m_addresses(m_window.Window())
    , m_form(m_view,
             FormParts {std::move(parts), ShellParts {wckMain, m_timers, m_timers, notifyArea,
                                                      *this, m_addresses.Watching()}})
    , m_endRequests(m_window.Window())
{
    m_window.SetHandler([this](UINT message, WPARAM wParam, LPARAM lParam) {
        return onMessage(message, wParam, lParam);
    });
}

std::optional<LRESULT> Win32HeadlessShell::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (wckMain.HandleMessage(message, wParam, lParam))
        return 0;
    if (m_addresses.Take(message)) {
        m_form.AddressChanged();
        return 0;
    }
    switch (message) {
    case WM_TIMER:
        m_timers.HandleTimer(wParam);
        return 0;
    case WM_CLOSE:
        m_form.ExitApp();
        return 0;
    default:
        return HandleSessionEnd(m_form, message, wParam);
    }
}

} // namespace pellwick
