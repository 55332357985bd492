#pragma once

#include "core/form/form_view.h"

class QPlainTextEdit;

namespace pellwick {

class MainWindowControls;
class frmMenu;

// The view of frmMain over the Qt widgets. Every setter changes what is shown
// and nothing else: no handler of frmMain runs from here.
class QtFormView : public FormView
{
public:
    QtFormView(MainWindowControls &window, frmMenu &menu);

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

    // The user chose a unit from the list, or typed into its field (-1).
    void SetUnitChoice(int index) { m_unitListIndex = index; }
    // The debug log is about to show: it takes the form's log when lines came
    // or went while it was hidden.
    void CatchUpLog(const std::string &log);
    // True while SetState is changing the state: the window does not report
    // that change back.
    bool ApplyingState() const { return m_applyingState; }

private:
    MainWindowControls &m_window;
    frmMenu &m_menu;
    // The selected entry of cmbTimerRate, -1 for none (typed text): typing
    // never selects an entry, even when the text matches one.
    int m_unitListIndex = 0;
    bool m_applyingState = false;
    // The log widget missed appends or cuts while hidden.
    bool m_logBehind = false;

    bool logBehind(const QPlainTextEdit &log);
};

} // namespace pellwick
