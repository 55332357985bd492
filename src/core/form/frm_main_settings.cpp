#include "core/form/form_view.h"
#include "core/form/frm_main.h"
#include "core/settings/autostart.h"

#include <optional>

namespace pellwick {

namespace {

// The tray menu item that mirrors a tooltip option's box.
std::optional<MenuItem> markOf(Control control)
{
    switch (control) {
    case Control::chkShowIP:
        return MenuItem::ShowIP;
    case Control::chkShowPhyMem:
        return MenuItem::ShowPhyMem;
    case Control::chkShowVirtualMem:
        return MenuItem::ShowVirtMem;
    default:
        return std::nullopt;
    }
}

} // namespace

void frmMain::LoadSettings()
{
    m_settings = Settings::Load(m_parts.store);
    for (const SettingRow &row : SettingsTable()) {
        switch (row.kind) {
        case ControlKind::TextBox:
            m_view.SetText(row.control, m_settings.Text(row.name));
            break;
        case ControlKind::CheckBox:
            // Set by frmMain's own rule, so that a changed value runs its handler;
            // the tooltip options set their menu marks even when none ran.
            SetValue(row.control, m_settings.Number(row.name));
            if (const auto mark = markOf(row.control))
                m_view.SetMenuChecked(*mark, m_settings.Number(row.name) != vbUnchecked);
            break;
        case ControlKind::ComboBox:
            m_view.SetListIndex(row.control, m_settings.Number(row.name));
            break;
        case ControlKind::None:
            break;
        }
    }
}

void frmMain::SaveSettings()
{
    for (const SettingRow &row : SettingsTable()) {
        switch (row.kind) {
        case ControlKind::TextBox:
            m_settings.Set(row.name, m_view.Text(row.control));
            break;
        case ControlKind::CheckBox:
            m_settings.Set(row.name, m_view.Value(row.control));
            break;
        case ControlKind::ComboBox:
            m_settings.Set(row.name, m_view.ListIndex(row.control));
            break;
        case ControlKind::None:
            break;
        }
    }
    m_saveFailure = m_settings.Save(m_parts.store);
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
