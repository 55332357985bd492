#include "core/app/schedule.h"
#include "core/form/form_view.h"
#include "core/form/frm_main.h"

namespace pellwick {

void frmMain::tmrMain_Timer()
{
    if (!m_loaded || m_exiting)
        return;
    m_memory.ReadMemoryStatus();
    UpdateMemoryLabels();

    if (m_parts.localIp() != g_strLocalIP) {
        g_strLocalIP = m_parts.localIp();
        UpdateCaption("");
        UpdateTrayTip();
        if (IsChecked(Control::chkAutoEmailOnNewIP))
            SendEmail();
    }

    const ScheduleStep step = ScheduleTick(g_lngTimer, IsChecked(Control::chkTimerSend));
    g_lngTimer = step.countdown;
    if (step.send) {
        SendEmail();
        ApplyTimerSettings();
    }
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

void frmMain::chkTimerSend_Click()
{
    ApplyTimerSettings();
}

void frmMain::cmbTimerRate_Change()
{
    ApplyTimerSettings();
}

void frmMain::txtTimerRate_LostFocus()
{
    if (TimerRateLostFocus(m_view.Text(Control::txtTimerRate))
        == RateLostFocusAction::UncheckTimerSend)
        SetValue(Control::chkTimerSend, vbUnchecked);
    else
        ApplyTimerSettings();
}

} // namespace pellwick
