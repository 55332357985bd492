// SPDX-License-Identifier: MIT
#pragma once

#include "core/window/window_view.h"
#include "gui/qt/main_window_controls.h"
#include "gui/qt/qt_text.h"
#include "gui/qt/tray_menu.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QTabWidget>

namespace pellwick {

// The view of MainWindow over the Qt widgets. Every setter changes what is shown
// and nothing else: no handler of MainWindow runs from here.
class QtWindowView : public WindowView
{
public:
    QtWindowView(MainWindowControls &window, TrayMenu &menu);

    std::string Text(Control control) const override;
    void SetText(Control control, const std::string &text) override;
    void AppendText(Control control, const std::string &text) override;
    void DropLeadingText(Control control, const std::string &dropped) override;
    TextSelection Selection(Control control) const override;
    int Value(Control control) const override;
    void SetValue(Control control, int value) override;
    int ListIndex(Control control) const override
    {
        return control == Control::TimerUnit ? m_unitListIndex : -1;
    }
    void SetListIndex(Control control, int index) override;
    bool Enabled(Control control) const override { return m_window.Widget(control)->isEnabled(); }
    void SetEnabled(Control control, bool enabled) override
    {
        m_window.Widget(control)->setEnabled(enabled);
    }
    Tab CurrentTab() const override { return static_cast<Tab>(m_window.Tabs->currentIndex()); }
    void SetCurrentTab(Tab tab) override { m_window.Tabs->setCurrentIndex(static_cast<int>(tab)); }
    bool TabVisible(Tab tab) const override
    {
        return m_window.Tabs->isTabVisible(static_cast<int>(tab));
    }
    void SetTabVisible(Tab tab, bool visible) override
    {
        m_window.Tabs->setTabVisible(static_cast<int>(tab), visible);
    }
    std::string Caption() const override { return fromQ(m_window.windowTitle()); }
    void SetCaption(const std::string &caption) override { m_window.setWindowTitle(toQ(caption)); }
    WindowState State() const override
    {
        return m_window.isMinimized() ? WindowState::Minimized : WindowState::Normal;
    }
    void SetState(WindowState state) override;
    bool WindowVisible() const override { return m_window.isVisible(); }
    void SetWindowVisible(bool visible) override;
    void Refresh() override { m_window.update(); }
    bool MenuChecked(MenuItem item) const override { return m_menu.Item(item)->isChecked(); }
    void SetMenuChecked(MenuItem item, bool checked) override
    {
        m_menu.Item(item)->setChecked(checked);
    }
    void PopupMenu() override { m_menu.PopupAtPointer(); }
    void ShowSaveFailure(const std::string &message) override;
    void ShowNotice(const std::string &message) override;

    // The user chose a unit from the list, or typed into its field (-1).
    void SetUnitChoice(int index) { m_unitListIndex = index; }
    // The debug log is about to show: it takes the window's log when lines came
    // or went while it was hidden.
    void CatchUpLog(const std::string &log);
    // True while SetState is changing the state: the window does not report
    // that change back.
    bool ApplyingState() const { return m_applyingState; }

private:
    MainWindowControls &m_window;
    TrayMenu &m_menu;
    // The selected entry of TimerUnit, -1 for none (typed text): typing
    // never selects an entry, even when the text matches one.
    int m_unitListIndex = 0;
    bool m_applyingState = false;
    // The log widget missed appends or cuts while hidden.
    bool m_logBehind = false;

    // The log widget, unless it is behind the window's log.
    QPlainTextEdit *shownLog(Control control);
};

} // namespace pellwick
