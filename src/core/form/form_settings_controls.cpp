#include "core/form/form_settings_controls.h"

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

FormSettingsControls::FormSettingsControls(FormView &view,
                                           std::function<void(Control, int)> setValue)
    : m_view(view)
    , m_setValue(std::move(setValue))
{
}

void FormSettingsControls::SetCheckState(Control control, int state)
{
    if (m_setValue)
        m_setValue(control, state);
    else
        m_view.SetValue(control, state);
    // The tooltip options set their menu marks even when no change ran their
    // handlers.
    if (const auto mark = markOf(control))
        m_view.SetMenuChecked(*mark, state != vbUnchecked);
}

} // namespace pellwick
