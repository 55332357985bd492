#include "gui/qt/frm_main.h"

#include "core/app/schedule.h"
#include "gui/qt/qt_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace pellwick {

void frmMain::tmrMain_Timer()
{
    if (m_exiting)
        return;
    m_memory.ReadMemoryStatus();
    UpdateMemoryLabels();

    if (m_parts.localIp() != g_strLocalIP) {
        g_strLocalIP = m_parts.localIp();
        UpdateCaption("");
        UpdateTrayTip();
        if (chkAutoEmailOnNewIP->isChecked())
            SendEmail();
    }

    const ScheduleStep step = ScheduleTick(g_lngTimer, chkTimerSend->isChecked());
    g_lngTimer = step.countdown;
    if (step.send) {
        SendEmail();
        ApplyTimerSettings();
    }
}

void frmMain::ApplyTimerSettings()
{
    const TimerSettingsResult result = pellwick::ApplyTimerSettings(
        TimerFields {chkTimerSend->isChecked(), fromQ(txtTimerRate->text()), m_unitListIndex,
                     fromQ(cmbTimerRate->currentText())});
    if (fromQ(txtTimerRate->text()) != result.rateText)
        txtTimerRate->setText(toQ(result.rateText));
    cmbTimerRate->setEnabled(result.fieldsEnabled);
    txtTimerRate->setEnabled(result.fieldsEnabled);
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
    if (TimerRateLostFocus(fromQ(txtTimerRate->text())) == RateLostFocusAction::UncheckTimerSend)
        chkTimerSend->setChecked(false);
    else
        ApplyTimerSettings();
}

} // namespace pellwick
