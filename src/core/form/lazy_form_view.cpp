#include "core/form/lazy_form_view.h"

#include <utility>

namespace pellwick {

LazyFormView::LazyFormView(LazyWindow &window, FormView &controls)
    : m_window(window)
    , m_controls(controls)
{
}

bool LazyFormView::built() const
{
    return m_window.ControlsMade();
}

const FormView &LazyFormView::current() const
{
    return built() ? static_cast<const FormView &>(m_controls) : m_values;
}

FormView &LazyFormView::current()
{
    return built() ? static_cast<FormView &>(m_controls) : m_values;
}

void LazyFormView::mark(Control control, Setting setting)
{
    if (!built())
        m_set[static_cast<std::size_t>(control)] |= setting;
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

std::string LazyFormView::Text(Control control) const
{
    return current().Text(control);
}

void LazyFormView::SetText(Control control, const std::string &text)
{
    mark(control, kText);
    current().SetText(control, text);
}

void LazyFormView::AppendText(Control control, const std::string &text)
{
    mark(control, kText);
    current().AppendText(control, text);
}

void LazyFormView::DropLeadingText(Control control, const std::string &dropped)
{
    mark(control, kText);
    current().DropLeadingText(control, dropped);
}

TextSelection LazyFormView::Selection(Control control) const
{
    return current().Selection(control);
}

int LazyFormView::Value(Control control) const
{
    return current().Value(control);
}

void LazyFormView::SetValue(Control control, int value)
{
    mark(control, kValue);
    current().SetValue(control, value);
}

int LazyFormView::ListIndex(Control control) const
{
    return current().ListIndex(control);
}

void LazyFormView::SetListIndex(Control control, int index)
{
    mark(control, kListIndex);
    current().SetListIndex(control, index);
}

bool LazyFormView::Enabled(Control control) const
{
    return current().Enabled(control);
}

void LazyFormView::SetEnabled(Control control, bool enabled)
{
    mark(control, kEnabled);
    current().SetEnabled(control, enabled);
}

bool LazyFormView::Visible(Control control) const
{
    return current().Visible(control);
}

void LazyFormView::SetVisible(Control control, bool visible)
{
    mark(control, kVisible);
    current().SetVisible(control, visible);
}

Tab LazyFormView::CurrentTab() const
{
    return current().CurrentTab();
}

void LazyFormView::SetCurrentTab(Tab tab)
{
    m_currentTabSet = !built();
    current().SetCurrentTab(tab);
}

bool LazyFormView::TabVisible(Tab tab) const
{
    return current().TabVisible(tab);
}

void LazyFormView::SetTabVisible(Tab tab, bool visible)
{
    if (!built())
        m_tabVisibilitySet[static_cast<std::size_t>(tab)] = true;
    current().SetTabVisible(tab, visible);
}

std::string LazyFormView::Caption() const
{
    return m_controls.Caption();
}

void LazyFormView::SetCaption(const std::string &caption)
{
    m_controls.SetCaption(caption);
}

WindowState LazyFormView::State() const
{
    return m_controls.State();
}

void LazyFormView::SetState(WindowState state)
{
    m_controls.SetState(state);
}

bool LazyFormView::WindowVisible() const
{
    return m_showWhenBatchEnds || m_controls.WindowVisible();
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

void LazyFormView::Refresh()
{
    m_controls.Refresh();
}

bool LazyFormView::MenuChecked(MenuItem item) const
{
    return m_controls.MenuChecked(item);
}

void LazyFormView::SetMenuChecked(MenuItem item, bool checked)
{
    m_controls.SetMenuChecked(item, checked);
}

void LazyFormView::PopupMenu()
{
    m_controls.PopupMenu();
}

void LazyFormView::ShowSaveFailure(const std::string &message)
{
    m_window.MakeControls();
    m_controls.ShowSaveFailure(message);
}

} // namespace pellwick
