#include "core/form/form_settings_controls.h"
#include "core/form/form_view.h"
#include "core/form/frm_main.h"
#include "core/settings/autostart.h"
#include "core/settings/settings_io.h"

namespace pellwick {

void frmMain::LoadSettings()
{
    FormSettingsControls controls(m_view, [this](Control c, int v) { SetValue(c, v); });
    pellwick::LoadSettings(m_parts.registry, controls);
    const SettingRow &notify = NotifyOnFailureRow();
    SetValue(notify.control,
             LoadedCheckState(
                 m_parts.registry.QueryValue(kHkeyLocalMachine, std::string(kSettingsKey),
                                             std::string(notify.valueName), notify.defaultValue),
                 notify));
}

void frmMain::SaveSettings()
{
    FormSettingsControls controls(m_view, [this](Control c, int v) { SetValue(c, v); });
    std::int32_t status = pellwick::SaveSettings(m_parts.registry, controls);
    const SettingRow &notify = NotifyOnFailureRow();
    const std::int32_t notifyStatus = m_parts.registry.SetKeyValue(
        kHkeyLocalMachine, std::string(kSettingsKey), std::string(notify.valueName),
        std::int32_t {m_view.Value(notify.control)}, notify.type);
    if (status == 0)
        status = notifyStatus;
    m_saveFailure = status == 0 ? std::string()
                                : "Pellwick could not save its settings (error "
                                      + std::to_string(status) + ").";
}

void frmMain::chkEmailIPOnStartup_Click()
{
    const bool set = IsChecked(Control::chkEmailIPOnStartup);
    if (set)
        m_parts.autostart.Register();
    else
        m_parts.autostart.Unregister();
    m_view.SetEnabled(Control::chkAutoExit, set);
}

} // namespace pellwick
