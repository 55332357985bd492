#include "gui/win32/console_end_requests.h"

#include <atomic>

namespace pellwick {

namespace {

// The handler is a plain function called on a thread of the system's: this is
// how it finds the window of the object that set it.
std::atomic<HWND> endWindow {nullptr};

} // namespace

ConsoleEndRequests::ConsoleEndRequests(HWND window)
{
    endWindow = window;
    SetConsoleCtrlHandler(handle, TRUE);
}

ConsoleEndRequests::~ConsoleEndRequests()
{
    SetConsoleCtrlHandler(handle, FALSE);
    endWindow = nullptr;
}

BOOL WINAPI ConsoleEndRequests::handle(DWORD event)
{
    HWND window = endWindow;
    if (!window || !PostMessageW(window, WM_CLOSE, 0, 0))
        return FALSE;
    // Windows ends the process as soon as this returns from any but the two
    // keyboard events; the main thread ends it itself once it has saved.
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        Sleep(INFINITE);
    return TRUE;
}

} // namespace pellwick
