#pragma once

#include "gui/win32/win32_api.h"

namespace pellwick {

// Turns the console's requests to end the program (Ctrl+C, Ctrl+Break, the
// console closed, the user signing out, the machine shutting down) into
// WM_CLOSE for `window`, so they go through the one orderly exit with its
// save. One at a time, while the object lives.
class ConsoleEndRequests
{
public:
    explicit ConsoleEndRequests(HWND window);
    ~ConsoleEndRequests();
    ConsoleEndRequests(const ConsoleEndRequests &) = delete;
    ConsoleEndRequests &operator=(const ConsoleEndRequests &) = delete;

private:
    static BOOL WINAPI handle(DWORD event);

    HWND m_window;
    // Set once the program is on its way out, with its settings saved.
    HANDLE m_ended;
};

} // namespace pellwick
