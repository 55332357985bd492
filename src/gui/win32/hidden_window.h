#pragma once

#include "gui/win32/win32_api.h"

#include <functional>
#include <optional>

namespace pellwick {

// The window of a run that shows none (--headless, --send-now): it is never
// shown and only takes messages, the socket's, the timers' and the system's.
// A top-level window where one can be made, so that the end of the session
// (WM_ENDSESSION) and a polite taskkill (WM_CLOSE) reach it; else a
// message-only one, which needs no display. It never destroys itself.
class HiddenWindow
{
public:
    // A message for the window; nullopt lets Windows handle it.
    using Handler
        = std::function<std::optional<LRESULT>(UINT message, WPARAM wParam, LPARAM lParam)>;

    explicit HiddenWindow(HINSTANCE instance);
    ~HiddenWindow();
    HiddenWindow(const HiddenWindow &) = delete;
    HiddenWindow &operator=(const HiddenWindow &) = delete;

    HWND Window() const { return m_window; }
    // Set once the handler's objects exist; messages before go to Windows.
    void SetHandler(Handler handler) { m_handler = std::move(handler); }

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    Handler m_handler;
    HWND m_window = nullptr;
};

} // namespace pellwick
