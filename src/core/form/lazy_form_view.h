#pragma once

#include "core/form/in_memory_view.h"

#include <array>

namespace pellwick {

// What a shell does for a LazyFormView.
class LazyWindow
{
public:
    virtual ~LazyWindow() = default;
    virtual bool ControlsMade() const = 0;
    // Makes the controls unless they exist, then tells the view
    // (LazyFormView::ControlsBuilt).
    virtual void MakeControls() = 0;
    // Shows the window minimised on the task bar, its controls still unmade.
    virtual void ShowOnTaskBar() = 0;
};

// frmMain's view of a window whose controls are made only when they are first
// needed. Until then the controls' and tabs' values live in memory; the
// window itself (caption, state, visibility) and the menu marks always go to
// `controls`. Showing the window (or the save-failure notice) makes the
// controls, and ControlsBuilt puts everything set so far onto them.
//
// During a start-up batch (BeginBatch ... EndBatch) showing the window waits
// for the batch's end, so a window started minimised is never built or
// painted in the normal state first.
class LazyFormView : public FormView
{
public:
    LazyFormView(LazyWindow &window, FormView &controls);

    // The controls were just made: they take over what was set until now.
    void ControlsBuilt();

    void BeginBatch() { m_batch = true; }
    void EndBatch();

    std::string Text(Control control) const override { return current().Text(control); }
    void SetText(Control control, const std::string &text) override
    {
        mark(control, kText).SetText(control, text);
    }
    void AppendText(Control control, const std::string &text) override
    {
        mark(control, kText).AppendText(control, text);
    }
    void DropLeadingText(Control control, const std::string &dropped) override
    {
        mark(control, kText).DropLeadingText(control, dropped);
    }
    TextSelection Selection(Control control) const override { return current().Selection(control); }
    int Value(Control control) const override { return current().Value(control); }
    void SetValue(Control control, int value) override
    {
        mark(control, kValue).SetValue(control, value);
    }
    int ListIndex(Control control) const override { return current().ListIndex(control); }
    void SetListIndex(Control control, int index) override
    {
        mark(control, kListIndex).SetListIndex(control, index);
    }
    bool Enabled(Control control) const override { return current().Enabled(control); }
    void SetEnabled(Control control, bool enabled) override
    {
        mark(control, kEnabled).SetEnabled(control, enabled);
    }
    bool Visible(Control control) const override { return current().Visible(control); }
    void SetVisible(Control control, bool visible) override
    {
        mark(control, kVisible).SetVisible(control, visible);
    }
    Tab CurrentTab() const override { return current().CurrentTab(); }
    void SetCurrentTab(Tab tab) override;
    bool TabVisible(Tab tab) const override { return current().TabVisible(tab); }
    void SetTabVisible(Tab tab, bool visible) override;
    std::string Caption() const override { return m_controls.Caption(); }
    void SetCaption(const std::string &caption) override { m_controls.SetCaption(caption); }
    WindowState State() const override { return m_controls.State(); }
    void SetState(WindowState state) override { m_controls.SetState(state); }
    bool WindowVisible() const override
    {
        return m_showWhenBatchEnds || m_controls.WindowVisible();
    }
    void SetWindowVisible(bool visible) override;
    void Refresh() override { m_controls.Refresh(); }
    bool MenuChecked(MenuItem item) const override { return m_controls.MenuChecked(item); }
    void SetMenuChecked(MenuItem item, bool checked) override
    {
        m_controls.SetMenuChecked(item, checked);
    }
    void PopupMenu() override { m_controls.PopupMenu(); }
    void ShowSaveFailure(const std::string &message) override;

private:
    // What was set while the controls did not exist, to be put onto them.
    enum Setting : unsigned {
        kText = 1,
        kValue = 2,
        kListIndex = 4,
        kEnabled = 8,
        kVisible = 16,
    };

    bool built() const { return m_window.ControlsMade(); }
    // The view that answers now: the widgets once they exist, else memory.
    const FormView &current() const
    {
        return built() ? static_cast<const FormView &>(m_controls) : m_values;
    }
    FormView &current() { return built() ? static_cast<FormView &>(m_controls) : m_values; }
    // Notes what is set before the controls exist; the view that takes it.
    FormView &mark(Control control, Setting setting);

    LazyWindow &m_window;
    FormView &m_controls;
    InMemoryView m_values;
    std::array<unsigned, kControlCount> m_set {};
    bool m_currentTabSet = false;
    std::array<bool, 5> m_tabVisibilitySet {};
    bool m_batch = false;
    bool m_showWhenBatchEnds = false;
};

} // namespace pellwick
