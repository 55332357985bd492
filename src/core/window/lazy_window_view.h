// SPDX-License-Identifier: MIT
#pragma once

#include "core/window/in_memory_view.h"

namespace pellwick {

// What a shell does for a LazyWindowView.
class LazyWindow
{
public:
    virtual ~LazyWindow() = default;
    virtual bool ControlsMade() const = 0;
    // Makes the controls unless they exist, then tells the view
    // (LazyWindowView::ControlsBuilt).
    virtual void MakeControls() = 0;
    // Shows the window minimised on the task bar, its controls still unmade.
    virtual void ShowOnTaskBar() = 0;
};

// MainWindow's view of a window whose controls are made only when they are first
// needed. Until then the controls' and tabs' values live in memory; the
// window itself (caption, state, visibility) and the menu marks always go to
// `controls`. Showing the window (or the save-failure notice) makes the
// controls, and ControlsBuilt puts what was set so far onto them.
//
// During a start-up batch (BeginBatch ... EndBatch) showing the window waits
// for the batch's end, so a window started minimised is never built or
// painted in the normal state first.
class LazyWindowView : public WindowView
{
public:
    LazyWindowView(LazyWindow &window, WindowView &controls);

    // The controls were just made: they take over what was set until now.
    void ControlsBuilt();

    void BeginBatch() { m_batch = true; }
    void EndBatch();

    std::string Text(Control control) const override { return current().Text(control); }
    void SetText(Control control, const std::string &text) override
    {
        current().SetText(control, text);
    }
    void AppendText(Control control, const std::string &text) override
    {
        current().AppendText(control, text);
    }
    void DropLeadingText(Control control, const std::string &dropped) override
    {
        current().DropLeadingText(control, dropped);
    }
    TextSelection Selection(Control control) const override { return current().Selection(control); }
    int Value(Control control) const override { return current().Value(control); }
    void SetValue(Control control, int value) override { current().SetValue(control, value); }
    int ListIndex(Control control) const override { return current().ListIndex(control); }
    void SetListIndex(Control control, int index) override
    {
        current().SetListIndex(control, index);
    }
    bool Enabled(Control control) const override { return current().Enabled(control); }
    void SetEnabled(Control control, bool enabled) override
    {
        current().SetEnabled(control, enabled);
    }
    Tab CurrentTab() const override { return current().CurrentTab(); }
    void SetCurrentTab(Tab tab) override { current().SetCurrentTab(tab); }
    bool TabVisible(Tab tab) const override { return current().TabVisible(tab); }
    void SetTabVisible(Tab tab, bool visible) override { current().SetTabVisible(tab, visible); }
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
    void ShowNotice(const std::string &message) override
    {
        m_window.MakeControls();
        m_controls.ShowNotice(message);
    }

private:
    bool built() const { return m_window.ControlsMade(); }
    // The view that answers now: the widgets once they exist, else memory.
    const WindowView &current() const
    {
        return built() ? static_cast<const WindowView &>(m_controls) : m_values;
    }
    WindowView &current() { return built() ? static_cast<WindowView &>(m_controls) : m_values; }

    LazyWindow &m_window;
    WindowView &m_controls;
    InMemoryView m_values;
    bool m_batch = false;
    bool m_showWhenBatchEnds = false;
};

} // namespace pellwick
