#pragma once

#include "core/form/form_parts.h"
#include "core/mail/deadline.h"

#include "gui/win32/win32_api.h"

#include <functional>
#include <utility>

namespace pellwick {

// The timer tmrMain and the mail dialogue's time limit as two timers of one
// window; the window hands its WM_TIMER messages to HandleTimer.
class WindowTimers
    : public FormTimer
    , public Deadline
{
public:
    WindowTimers(HWND window, std::function<void()> tick)
        : m_window(window)
        , m_tick(std::move(tick))
    {
    }

    // Acts on a WM_TIMER of one of the two timers; false for any other.
    bool HandleTimer(WPARAM id)
    {
        if (id == kTimerId) {
            m_tick();
            return true;
        }
        if (id != kDeadlineId)
            return false;
        Disarm();
        // Taken out first: the dialogue may arm the next limit from here.
        const std::function<void()> expired = std::move(m_expired);
        if (expired)
            expired();
        return true;
    }

    void Start(std::int64_t intervalMs) override
    {
        SetTimer(m_window, kTimerId, static_cast<UINT>(intervalMs), nullptr);
    }
    void Stop() override { KillTimer(m_window, kTimerId); }
    // The deadline: a timer of its own that fires once.
    void Arm(std::chrono::milliseconds after, std::function<void()> expired) override
    {
        m_expired = std::move(expired);
        SetTimer(m_window, kDeadlineId, static_cast<UINT>(after.count()), nullptr);
    }
    void Disarm() override { KillTimer(m_window, kDeadlineId); }

private:
    static constexpr UINT_PTR kTimerId = 1;
    static constexpr UINT_PTR kDeadlineId = 2;

    HWND m_window;
    std::function<void()> m_tick;
    std::function<void()> m_expired;
};

} // namespace pellwick
