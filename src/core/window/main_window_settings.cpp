// SPDX-License-Identifier: MIT
#include "core/app/command_line.h"
#include "core/settings/autostart.h"
#include "core/tray/notify_area.h"
#include "core/window/main_window.h"
#include "core/window/window_view.h"

namespace pellwick {

void MainWindow::LoadSettings()
{
    m_settings = Settings::Load(m_parts.store);
    m_unreadable = m_parts.store.Unreadable();
    for (const SettingRow &row : SettingsTable())
        showValue(row);
}

void MainWindow::showValue(const SettingRow &row)
{
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
    } else if (row.control == Control::AskRouter) {
        // One stored number, two boxes: 1 the router, 2 both, 3 the STUN server alone.
        const int source = m_settings.Number(row.name);
        m_view.SetValue(Control::AskRouter, source == 1 || source == 2 ? kChecked : kUnchecked);
        m_view.SetValue(Control::AskStun, source >= 2 ? kChecked : kUnchecked);
    }
}

int MainWindow::publicAddressSource() const
{
    const bool router = IsChecked(Control::AskRouter);
    const bool stun = IsChecked(Control::AskStun);
    return router ? (stun ? 2 : 1) : (stun ? 3 : 0);
}

void MainWindow::StoredSettingsChanged()
{
    // Values that cannot be read now change nothing; the run's own save
    // finds every value as it left it and takes nothing.
    if (!m_loaded || m_exiting || !m_parts.store.Unreadable().empty())
        return;
    // Settings unreadable at the start are the user's own again.
    m_unreadable.clear();
    takeControls();
    bool timer = false;
    for (const std::string_view name : m_settings.TakeUnchanged(Settings::Load(m_parts.store))) {
        const SettingRow &row = SettingRowNamed(name);
        showValue(row);
        timer = timer || row.control == Control::TimerRate || row.control == Control::TimerUnit;
        tellStoredValue(name, "was changed outside Pellwick; it is used from now on.",
                        LinePriority::Info);
    }
    if (timer)
        ApplyTimerSettings();
}

void MainWindow::tellStoredValue(std::string_view name, const std::string &what,
                                 LinePriority priority)
{
    const std::string line = "The stored value " + std::string(name) + " " + what;
    AppendToDebugLog(line + "\r\n");
    m_parts.lines.Write(priority, "pellwick", line);
}

void MainWindow::takeControls()
{
    for (const SettingRow &row : SettingsTable()) {
        if (row.kind == ControlKind::TextBox)
            m_settings.Set(row.name, m_view.Text(row.control));
        else if (row.kind == ControlKind::CheckBox)
            m_settings.Set(row.name, m_view.Value(row.control));
        else if (row.kind == ControlKind::ComboBox)
            m_settings.Set(row.name, m_view.ListIndex(row.control));
    }
    m_settings.Set(kPublicAddressSourceName, publicAddressSource());
}

void MainWindow::ApplySettings(const std::vector<SettingChange> &changes)
{
    for (const SettingChange &change : changes) {
        const SettingRow &row = SettingRowNamed(change.name);
        if (row.kind == ControlKind::TextBox)
            m_view.SetText(row.control, std::get<std::string>(change.value));
        else if (row.kind == ControlKind::CheckBox)
            SetValue(row.control, std::get<std::int32_t>(change.value));
        else if (row.kind == ControlKind::ComboBox)
            m_view.SetListIndex(row.control, std::get<std::int32_t>(change.value));
        else
            m_settings.Set(row.name, change.value);
    }
    // A new rate or unit starts the schedule anew, as leaving its field does.
    ApplyTimerSettings();
    SaveSettings();
}

HandOverReply MainWindow::HandedOver(const HandOver &handOver)
{
    if (!handOver.refusal.empty()) {
        m_parts.lines.Write(LinePriority::Warning, "pellwick", handOver.refusal);
        return FailureReply(77, "pellwick: " + handOver.refusal);
    }
    if (handOver.request == InstanceRequest::Show)
        RestoreWindow();
    if (handOver.request != InstanceRequest::Command)
        return {};
    const CommandLine asked = ParseCommandLine(handOver.arguments);
    if (!asked.problem.empty())
        return FailureReply(kUsageStatus, "pellwick: " + asked.problem);
    if (asked.command == SettingsCommand::Status) {
        HandOverReply status;
        status.out = StatusText();
        return status;
    }
    takeControls();
    SettingsCommandResult result = RunSettingsCommand(asked, m_settings);
    if (!result.changes.empty()) {
        ApplySettings(result.changes);
        if (!m_saveFailure.empty())
            result.reply = FailureReply(1, "pellwick: " + m_saveFailure);
    }
    return result.reply;
}

void MainWindow::SaveSettings()
{
    takeControls();
    m_saveFailure = m_settings.Save(m_parts.store, [this](std::string_view name) {
        tellStoredValue(
            name, "was also changed outside Pellwick while it ran; Pellwick's value was kept.",
            LinePriority::Warning);
    });
    if (m_saveFailure.empty())
        m_unreadable.clear();
}

void MainWindow::EmailIpOnStartupChanged()
{
    const bool set = IsChecked(Control::EmailIpOnStartup);
    // Defaults standing in for unreadable settings leave the log-in entry as it
    // is; the user's own click does not.
    if (m_loaded || m_unreadable.empty()) {
        if (set)
            m_parts.autostart.Register();
        else
            m_parts.autostart.Unregister();
    }
    m_view.SetEnabled(Control::AutoExit, set);
}

} // namespace pellwick
