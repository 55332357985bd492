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
        m_localIpStale = true;
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
    m_localIpStale = true;
    followAddress();
    // The network has moved: a mail waiting for its retry goes now.
    if (m_retry.Remaining(m_parts.steadyMs()))
        SendEmail();
}

void MainWindow::followAddress()
{
    if (m_localIpStale)
        m_ticksSinceIpRead = 0;
    if (localIp() == m_lastIp)
        return;
    m_lastIp = localIp();
    UpdateCaption("");
    UpdateTrayTip();
    if (IsChecked(Control::EmailOnNewIp))
        SendEmail();
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
