// SPDX-License-Identifier: MIT
#pragma once

#include "core/window/window_view.h"

#include <array>
#include <string>
#include <vector>

namespace pellwick {

// The settings window as plain values, with no display: what behaviour tests
// drive, and what a shell-less run could carry. It starts as the window's
// description says (captions, enabled controls, the first unit, the menu
// marks), every box unchecked, every tab shown, the window hidden and normal.
class InMemoryView : public WindowView
{
public:
    InMemoryView();

    std::string Text(Control control) const override { return at(control).text; }
    void SetText(Control control, const std::string &text) override;
    void AppendText(Control control, const std::string &text) override { at(control).text += text; }
    void DropLeadingText(Control control, const std::string &dropped) override
    {
        at(control).text.erase(0, dropped.size());
    }
    TextSelection Selection(Control control) const override { return at(control).selection; }
    int Value(Control control) const override { return at(control).value; }
    void SetValue(Control control, int value) override { at(control).value = value; }
    int ListIndex(Control control) const override { return at(control).listIndex; }
    void SetListIndex(Control control, int index) override;
    bool Enabled(Control control) const override { return at(control).enabled; }
    void SetEnabled(Control control, bool enabled) override { at(control).enabled = enabled; }
    Tab CurrentTab() const override { return m_currentTab; }
    void SetCurrentTab(Tab tab) override { m_currentTab = tab; }
    bool TabVisible(Tab tab) const override { return m_tabVisible[Index(tab)]; }
    void SetTabVisible(Tab tab, bool visible) override { m_tabVisible[Index(tab)] = visible; }
    std::string Caption() const override { return m_caption; }
    void SetCaption(const std::string &caption) override { m_caption = caption; }
    WindowState State() const override { return m_state; }
    void SetState(WindowState state) override { m_state = state; }
    bool WindowVisible() const override { return m_windowVisible; }
    void SetWindowVisible(bool visible) override { m_windowVisible = visible; }
    void Refresh() override { ++refreshes; }
    bool MenuChecked(MenuItem item) const override { return m_menuChecked[Index(item)]; }
    void SetMenuChecked(MenuItem item, bool checked) override
    {
        m_menuChecked[Index(item)] = checked;
    }
    void PopupMenu() override { }
    void ShowSaveFailure(const std::string &message) override { saveFailures.push_back(message); }
    void ShowNotice(const std::string &message) override { notices.push_back(message); }

    // What a user does inside a text box: selects part of it (the caret when
    // `length` is 0).
    void Select(Control control, std::size_t start, std::size_t length);

    int refreshes = 0;
    std::vector<std::string> saveFailures;
    std::vector<std::string> notices;

private:
    struct ControlState
    {
        std::string text;
        TextSelection selection;
        int value = 0;
        int listIndex = -1;
        bool enabled = true;
    };

    ControlState &at(Control control) { return m_controls[Index(control)]; }
    const ControlState &at(Control control) const { return m_controls[Index(control)]; }

    std::array<ControlState, kControlCount> m_controls;
    std::array<bool, 5> m_tabVisible {true, true, true, true, true};
    std::array<bool, 7> m_menuChecked {};
    Tab m_currentTab = Tab::Settings;
    std::string m_caption = "Pellwick";
    WindowState m_state = WindowState::Normal;
    bool m_windowVisible = false;
};

} // namespace pellwick
