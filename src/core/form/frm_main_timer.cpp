#include "core/app/schedule.h"
#include "core/form/form_view.h"
#include "core/form/frm_main.h"

namespace pellwick {

namespace {

// With address changes told as they happen, the tick still reads the address
// once a minute.
constexpr int kIpSafetyNetTicks = 12;

} // namespace

void frmMain::tmrMain_Timer()
{
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

    const ScheduleStep step = ScheduleTick(g_lngTimer, IsChecked(Control::chkTimerSend));
    g_lngTimer = step.countdown;
    if (step.send) {
        SendEmail();
        ApplyTimerSettings();
    }
    retryIfDue();
}

void frmMain::AddressChanged()
{
    if (!m_loaded || m_exiting)
        return;
    m_localIpStale = true;
    followAddress();
    // The network has moved: a mail waiting for its retry goes now.
    if (m_retry.Remaining(m_parts.steadyMs()))
        SendEmail();
}

void frmMain::followAddress()
{
    if (m_localIpStale)
        m_ticksSinceIpRead = 0;
    if (localIp() == g_strLocalIP)
        return;
    g_strLocalIP = localIp();
    UpdateCaption("");
    UpdateTrayTip();
    if (IsChecked(Control::chkAutoEmailOnNewIP))
        SendEmail();
}

void frmMain::ApplyTimerSettings()
{
    const std::string rateText = m_view.Text(Control::txtTimerRate);
    const TimerSettingsResult result = pellwick::ApplyTimerSettings(
        TimerFields {IsChecked(Control::chkTimerSend), rateText,
                     m_view.ListIndex(Control::cmbTimerRate), m_view.Text(Control::cmbTimerRate)});
    if (rateText != result.rateText)
        m_view.SetText(Control::txtTimerRate, result.rateText);
    m_view.SetEnabled(Control::cmbTimerRate, result.fieldsEnabled);
    m_view.SetEnabled(Control::txtTimerRate, result.fieldsEnabled);
    if (result.countdown)
        g_lngTimer = *result.countdown;
}

} // namespace pellwick
