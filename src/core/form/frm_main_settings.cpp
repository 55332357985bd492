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
    m_submission = LoadSubmissionSettings(m_parts.registry);
}

void frmMain::SaveSettings()
{
    FormSettingsControls controls(m_view, [this](Control c, int v) { SetValue(c, v); });
    // The server's port, security and user go in the same write as the rest.
    const StoreResult saved
        = pellwick::SaveSettings(m_parts.registry, controls, [this](Registry &registry) {
              SaveSubmissionSettings(registry, m_submission);
          });
    m_saveFailure = saved.Failed() ? saved.message : std::string();
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
