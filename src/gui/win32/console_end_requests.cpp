#include "gui/win32/console_end_requests.h"

#include <atomic>

namespace pellwick {

namespace {

// The handler is a plain function called on a thread of the system's: this is
// how it finds the object that set it.
std::atomic<ConsoleEndRequests *> current {nullptr};

} // namespace

ConsoleEndRequests::ConsoleEndRequests(HWND window)
    : m_window(window)
    , m_ended(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    current = this;
    SetConsoleCtrlHandler(handle, TRUE);
}

ConsoleEndRequests::~ConsoleEndRequests()
{
    // A handler still waiting returns now; taking the handler away waits for it.
    if (m_ended)
        SetEvent(m_ended);
    SetConsoleCtrlHandler(handle, FALSE);
    current = nullptr;
    if (m_ended)
        CloseHandle(m_ended);
}

BOOL WINAPI ConsoleEndRequests::handle(DWORD event)
{
    ConsoleEndRequests *self = current;
    if (!self || !PostMessageW(self->m_window, WM_CLOSE, 0, 0))
        return FALSE;
    // Windows ends the process as soon as this returns from any but the two
    // keyboard events: it waits for the save.
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && self->m_ended)
        WaitForSingleObject(self->m_ended, INFINITE);
    return TRUE;
}

} // namespace pellwick
