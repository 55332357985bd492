#pragma once

#include "core/form/form_view.h"
#include "core/settings/settings_io.h"

#include <functional>
#include <string>

namespace pellwick {

// Load and save see the window's controls through this. Setting a box goes
// through `setValue` (frmMain's own rule, so a changed value runs its click
// handler); without one, straight onto the view.
class FormSettingsControls : public SettingsControls
{
public:
    explicit FormSettingsControls(FormView &view,
                                  std::function<void(Control, int)> setValue = nullptr);

    std::string Text(Control control) const override { return m_view.Text(control); }
    int CheckState(Control control) const override { return m_view.Value(control); }
    int ListIndex(Control control) const override { return m_view.ListIndex(control); }
    void SetText(Control control, const std::string &text) override
    {
        m_view.SetText(control, text);
    }
    void SetCheckState(Control control, int state) override;
    void SetListIndex(Control control, int index) override { m_view.SetListIndex(control, index); }

private:
    FormView &m_view;
    std::function<void(Control, int)> m_setValue;
};

} // namespace pellwick
