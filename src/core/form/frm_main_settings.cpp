#include "core/form/form_view.h"
#include "core/form/frm_main.h"
#include "core/settings/autostart.h"
#include "core/settings/settings_io.h"

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

// Load and save see the window's controls through this; setting a box goes
// through the form's own rule, so a changed value runs its click handler.
class FormSettingsControls : public SettingsControls
{
public:
    FormSettingsControls(FormView &view, std::function<void(Control, int)> setValue)
        : m_view(view)
        , m_setValue(std::move(setValue))
    {
    }

    std::string Text(Control control) const override { return m_view.Text(control); }
    int CheckState(Control control) const override { return m_view.Value(control); }
    int ListIndex(Control control) const override { return m_view.ListIndex(control); }
    void SetText(Control control, const std::string &text) override
    {
        m_view.SetText(control, text);
    }
    void SetCheckState(Control control, int state) override
    {
        m_setValue(control, state);
        // The tooltip options set their menu marks even when no change ran
        // their handlers.
        if (const auto mark = markOf(control))
            m_view.SetMenuChecked(*mark, state != vbUnchecked);
    }
    void SetListIndex(Control control, int index) override { m_view.SetListIndex(control, index); }

private:
    FormView &m_view;
    std::function<void(Control, int)> m_setValue;
};

} // namespace

void frmMain::LoadSettings()
{
    FormSettingsControls controls(m_view, [this](Control c, int v) { SetValue(c, v); });
    pellwick::LoadSettings(m_parts.registry, controls);
    m_submission = LoadSubmissionSettings(m_parts.registry);
}

void frmMain::SaveSettings()
{
    FormSettingsControls controls(m_view, [this](Control c, int v) { SetValue(c, v); });
    pellwick::SaveSettings(m_parts.registry, controls);
    SaveSubmissionSettings(m_parts.registry, m_submission);
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
