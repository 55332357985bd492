#include "gui/win32/window_timers.h"

#include <utility>

namespace pellwick {

namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr UINT_PTR kDeadlineId = 2;

} // namespace

WindowTimers::WindowTimers(HWND window, std::function<void()> tick)
    : m_window(window)
    , m_tick(std::move(tick))
{
}

bool WindowTimers::HandleTimer(WPARAM id)
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

void WindowTimers::Start(std::int64_t intervalMs)
{
    SetTimer(m_window, kTimerId, static_cast<UINT>(intervalMs), nullptr);
}

void WindowTimers::Stop()
{
    KillTimer(m_window, kTimerId);
}

void WindowTimers::Arm(std::chrono::milliseconds after, std::function<void()> expired)
{
    m_expired = std::move(expired);
    SetTimer(m_window, kDeadlineId, static_cast<UINT>(after.count()), nullptr);
}

void WindowTimers::Disarm()
{
    KillTimer(m_window, kDeadlineId);
}

} // namespace pellwick
