// SPDX-License-Identifier: MIT
#include "core/app/schedule.h"
#include "core/window/main_window.h"
#include "core/window/window_view.h"

namespace pellwick {

namespace {

// With address changes told as they happen, the tick still reads the address
// once a minute.
constexpr int kIpSafetyNetTicks = 12;

} // namespace

void MainWindow::Tick()
{
    if (m_refusalTicks > 0 && --m_refusalTicks == 0)
        ExitApp();
    if (!m_loaded || m_exiting)
        return;
    // Only the About tab shows fresh figures at every tick. While the window is
    // hidden or minimised they are read when something that shows them is built.
    if (windowOnScreen())
        refreshMemory();
    else
        m_memoryStale = true;

    // Told of every change, the tick reads the address only now and then, in
    // case a notice was lost.
    if (!m_parts.addressWatched || ++m_ticksSinceIpRead >= kIpSafetyNetTicks)
        m_localIpStale = m_ipv6Stale = true;
    followAddress();

    const ScheduleStep step = ScheduleTick(m_countdown, IsChecked(Control::TimerSend));
    m_countdown = step.countdown;
    if (step.send) {
        SendEmail();
        ApplyTimerSettings();
    }
    retryIfDue();
}

void MainWindow::AddressChanged()
{
    if (!m_loaded || m_exiting)
        return;
    m_localIpStale = m_ipv6Stale = true;
    // The network has moved: a mail waiting for its retry goes now, unless the
    // move's own mail just went (or just failed).
    if (!followAddress() && m_retry.Remaining(m_parts.steadyMs()))
        SendEmail();
}

bool MainWindow::followAddress()
{
    if (m_localIpStale)
        m_ticksSinceIpRead = 0;
    // Only a template that uses the IPv6 address has it read; a move of it, to
    // an address known, is mailed like one of the local IP.
    const bool ipv6Moved = templateUsesIpv6() && ipv6() && ipv6() != m_lastIpv6;
    if (ipv6Moved)
        m_lastIpv6 = ipv6();
    const bool ipMoved = localIp() != m_lastIp;
    if (ipMoved) {
        m_lastIp = localIp();
        UpdateCaption("");
        UpdateTrayTip();
    }
    // One mail for whatever moved together.
    if (!(ipMoved || ipv6Moved) || !IsChecked(Control::EmailOnNewIp))
        return false;
    SendEmail();
    return true;
}

void MainWindow::ApplyTimerSettings()
{
    const std::string rateText = m_view.Text(Control::TimerRate);
    const TimerSettingsResult result = pellwick::ApplyTimerSettings(
        TimerFields {IsChecked(Control::TimerSend), rateText, m_view.ListIndex(Control::TimerUnit),
                     m_view.Text(Control::TimerUnit)});
    if (rateText != result.rateText)
        m_view.SetText(Control::TimerRate, result.rateText);
    m_view.SetEnabled(Control::TimerUnit, result.fieldsEnabled);
    m_view.SetEnabled(Control::TimerRate, result.fieldsEnabled);
    if (result.countdown)
        m_countdown = *result.countdown;
}

} // namespace pellwick
