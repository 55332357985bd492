// SPDX-License-Identifier: MIT
#include "core/settings/autostart.h"
#include "core/window/main_window.h"
#include "core/window/window_view.h"

namespace pellwick {

void MainWindow::LoadSettings()
{
    m_settings = Settings::Load(m_parts.store);
    for (const SettingRow &row : SettingsTable()) {
        if (row.kind == ControlKind::TextBox) {
            m_view.SetText(row.control, m_settings.Text(row.name));
        } else if (row.kind == ControlKind::ComboBox) {
            m_view.SetListIndex(row.control, m_settings.Number(row.name));
        } else if (row.kind == ControlKind::CheckBox) {
            // Set by MainWindow's own rule, so that a changed value runs its handler.
            const int state = m_settings.Number(row.name);
            SetValue(row.control, state);
            // The tooltip options set their menu marks even when no handler ran.
            if (const auto mark = showOptionMark(row.control))
                m_view.SetMenuChecked(*mark, state != kUnchecked);
        }
    }
}

void MainWindow::SaveSettings()
{
    for (const SettingRow &row : SettingsTable()) {
        if (row.kind == ControlKind::TextBox)
            m_settings.Set(row.name, m_view.Text(row.control));
        else if (row.kind == ControlKind::CheckBox)
            m_settings.Set(row.name, m_view.Value(row.control));
        else if (row.kind == ControlKind::ComboBox)
            m_settings.Set(row.name, m_view.ListIndex(row.control));
    }
    m_saveFailure = m_settings.Save(m_parts.store);
}

void MainWindow::EmailIpOnStartupChanged()
{
    const bool set = IsChecked(Control::EmailIpOnStartup);
    if (set)
        m_parts.autostart.Register();
    else
        m_parts.autostart.Unregister();
    m_view.SetEnabled(Control::AutoExit, set);
}

} // namespace pellwick
