// SPDX-License-Identifier: MIT
#include "core/window/lazy_window_view.h"

#include "core/window/window_description.h"

#include <utility>

namespace pellwick {

LazyWindowView::LazyWindowView(LazyWindow &window, WindowView &controls)
    : m_window(window)
    , m_controls(controls)
{
}

void LazyWindowView::ControlsBuilt()
{
    // The controls start as the window's description draws them, as a fresh
    // InMemoryView does: only what differs from that is put onto them.
    const InMemoryView drawn;
    for (std::size_t i = 0; i < kControlCount; ++i) {
        const auto control = static_cast<Control>(i);
        if (m_values.Text(control) != drawn.Text(control))
            m_controls.SetText(control, m_values.Text(control));
        if (m_values.ListIndex(control) != drawn.ListIndex(control))
            m_controls.SetListIndex(control, m_values.ListIndex(control));
        if (m_values.Value(control) != drawn.Value(control))
            m_controls.SetValue(control, m_values.Value(control));
        if (m_values.Enabled(control) != drawn.Enabled(control))
            m_controls.SetEnabled(control, m_values.Enabled(control));
    }
    for (std::size_t i = 0; i < kTabCaptions.size(); ++i) {
        const auto tab = static_cast<Tab>(i);
        if (m_values.TabVisible(tab) != drawn.TabVisible(tab))
            m_controls.SetTabVisible(tab, m_values.TabVisible(tab));
    }
    if (m_values.CurrentTab() != drawn.CurrentTab())
        m_controls.SetCurrentTab(m_values.CurrentTab());
}

void LazyWindowView::EndBatch()
{
    m_batch = false;
    if (std::exchange(m_showWhenBatchEnds, false)) {
        // Started minimised with no tray: on the task bar without its
        // controls, which are made when it is first restored.
        if (m_controls.State() == WindowState::Minimized)
            m_window.ShowOnTaskBar();
        else
            SetWindowVisible(true);
    }
}

void LazyWindowView::SetWindowVisible(bool visible)
{
    if (visible && m_batch) {
        m_showWhenBatchEnds = true;
        return;
    }
    m_showWhenBatchEnds = false;
    if (visible)
        m_window.MakeControls();
    m_controls.SetWindowVisible(visible);
}

void LazyWindowView::ShowSaveFailure(const std::string &message)
{
    m_window.MakeControls();
    m_controls.ShowSaveFailure(message);
}

} // namespace pellwick
