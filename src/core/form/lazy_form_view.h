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

    std::string Text(Control control) const override;
    void SetText(Control control, const std::string &text) override;
    void AppendText(Control control, const std::string &text) override;
    void DropLeadingText(Control control, const std::string &dropped) override;
    TextSelection Selection(Control control) const override;
    int Value(Control control) const override;
    void SetValue(Control control, int value) override;
    int ListIndex(Control control) const override;
    void SetListIndex(Control control, int index) override;
    bool Enabled(Control control) const override;
    void SetEnabled(Control control, bool enabled) override;
    bool Visible(Control control) const override;
    void SetVisible(Control control, bool visible) override;
    Tab CurrentTab() const override;
    void SetCurrentTab(Tab tab) override;
    bool TabVisible(Tab tab) const override;
    void SetTabVisible(Tab tab, bool visible) override;
    std::string Caption() const override;
    void SetCaption(const std::string &caption) override;
    WindowState State() const override;
    void SetState(WindowState state) override;
    bool WindowVisible() const override;
    void SetWindowVisible(bool visible) override;
    void Refresh() override;
    bool MenuChecked(MenuItem item) const override;
    void SetMenuChecked(MenuItem item, bool checked) override;
    void PopupMenu() override;
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

    bool built() const;
    // The view that answers now: the widgets once they exist, else memory.
    const FormView &current() const;
    FormView &current();
    void mark(Control control, Setting setting);

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
