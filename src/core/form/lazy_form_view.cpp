#include "core/form/lazy_form_view.h"

#include <utility>

namespace pellwick {

LazyFormView::LazyFormView(LazyWindow &window, FormView &controls)
    : m_window(window)
    , m_controls(controls)
{
}

FormView &LazyFormView::mark(Control control, Setting setting)
{
    if (!built())
        m_set[Index(control)] |= setting;
    return current();
}

void LazyFormView::ControlsBuilt()
{
    for (std::size_t i = 0; i < kControlCount; ++i) {
        const auto control = static_cast<Control>(i);
        const unsigned set = std::exchange(m_set[i], 0U);
        if (set & kText)
            m_controls.SetText(control, m_values.Text(control));
        if (set & kListIndex)
            m_controls.SetListIndex(control, m_values.ListIndex(control));
        if (set & kValue)
            m_controls.SetValue(control, m_values.Value(control));
        if (set & kEnabled)
            m_controls.SetEnabled(control, m_values.Enabled(control));
        if (set & kVisible)
            m_controls.SetVisible(control, m_values.Visible(control));
    }
    for (std::size_t i = 0; i < m_tabVisibilitySet.size(); ++i) {
        if (std::exchange(m_tabVisibilitySet[i], false))
            m_controls.SetTabVisible(static_cast<Tab>(i), m_values.TabVisible(static_cast<Tab>(i)));
    }
    if (std::exchange(m_currentTabSet, false))
        m_controls.SetCurrentTab(m_values.CurrentTab());
}

void LazyFormView::EndBatch()
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

void LazyFormView::SetCurrentTab(Tab tab)
{
    m_currentTabSet = !built();
    current().SetCurrentTab(tab);
}

void LazyFormView::SetTabVisible(Tab tab, bool visible)
{
    if (!built())
        m_tabVisibilitySet[Index(tab)] = true;
    current().SetTabVisible(tab, visible);
}

void LazyFormView::SetWindowVisible(bool visible)
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

void LazyFormView::ShowSaveFailure(const std::string &message)
{
    m_window.MakeControls();
    m_controls.ShowSaveFailure(message);
}

} // namespace pellwick
