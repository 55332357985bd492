#pragma once

#include "core/form/form_view.h"

#include "gui/win32/win32_api.h"
#include "gui/win32/win32_window.h"

namespace pellwick {

// The view of frmMain over the Win32 window. Every setter changes what is shown
// and nothing else: Windows reports no change made by code as a click, so no
// handler of frmMain runs from here.
class Win32FormView : public FormView
{
public:
    explicit Win32FormView(Win32Window &window);

    std::string Text(Control control) const override;
    void SetText(Control control, const std::string &text) override;
    void AppendText(Control control, const std::string &text) override;
    void DropLeadingText(Control control, const std::string &dropped) override;
    TextSelection Selection(Control control) const override;
    int Value(Control control) const override;
    void SetValue(Control control, int value) override;
    int ListIndex(Control control) const override
    {
        return control == Control::cmbTimerRate ? m_unitListIndex : -1;
    }
    void SetListIndex(Control control, int index) override;
    bool Enabled(Control control) const override
    {
        return IsWindowEnabled(m_window.Handle(control)) != FALSE;
    }
    void SetEnabled(Control control, bool enabled) override
    {
        EnableWindow(m_window.Handle(control), enabled);
    }
    Tab CurrentTab() const override { return m_window.CurrentTab(); }
    void SetCurrentTab(Tab tab) override { m_window.SetCurrentTab(tab); }
    bool TabVisible(Tab tab) const override { return m_window.TabVisible(tab); }
    void SetTabVisible(Tab tab, bool visible) override { m_window.SetTabVisible(tab, visible); }
    std::string Caption() const override;
    void SetCaption(const std::string &caption) override;
    WindowState State() const override
    {
        return IsIconic(m_window.Window()) ? WindowState::Minimized : WindowState::Normal;
    }
    void SetState(WindowState state) override;
    bool WindowVisible() const override { return IsWindowVisible(m_window.Window()) != FALSE; }
    void SetWindowVisible(bool visible) override;
    void Refresh() override;
    bool MenuChecked(MenuItem item) const override;
    void SetMenuChecked(MenuItem item, bool checked) override;
    void PopupMenu() override;
    void ShowSaveFailure(const std::string &message) override;

    // The user chose a unit from the list, or typed into its field (-1).
    void SetUnitChoice(int index) { m_unitListIndex = index; }
    // True while SetState is changing the state: the window does not report
    // that change back.
    bool ApplyingState() const { return m_applyingState; }

private:
    Win32Window &m_window;
    int m_unitListIndex = 0;
    bool m_applyingState = false;
};

} // namespace pellwick
