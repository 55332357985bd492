#pragma once

#include "core/form/form_parts.h"
#include "core/mail/deadline.h"

#include "gui/win32/win32_api.h"

#include <functional>

namespace pellwick {

// The timer tmrMain and the mail dialogue's time limit as two timers of one
// window; the window hands its WM_TIMER messages to HandleTimer.
class WindowTimers
    : public FormTimer
    , public Deadline
{
public:
    WindowTimers(HWND window, std::function<void()> tick);

    // Acts on a WM_TIMER of one of the two timers; false for any other.
    bool HandleTimer(WPARAM id);

    // FormTimer.
    void Start(std::int64_t intervalMs) override;
    void Stop() override;
    // Deadline: a timer of its own that fires once.
    void Arm(std::chrono::milliseconds after, std::function<void()> expired) override;
    void Disarm() override;

private:
    HWND m_window;
    std::function<void()> m_tick;
    std::function<void()> m_expired;
};

} // namespace pellwick
