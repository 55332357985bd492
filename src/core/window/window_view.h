// SPDX-License-Identifier: MIT
#pragma once

#include "core/window/controls.h"

#include <cstddef>
#include <string>

namespace pellwick {

// Where a text box's selection lies, in bytes of its Text(); an empty
// selection is the caret.
struct TextSelection
{
    std::size_t start = 0;
    std::size_t length = 0;
};

// The settings window as MainWindow reads and writes it. A shell implements it
// over its own widgets; InMemoryView holds the values for tests and headless
// use.
//
// Every setter only changes what is shown: it never runs a handler and never
// reports the change back to MainWindow. The shell reports what the user does by
// calling MainWindow's event entry points (UserChangedValue, UserClicked, ...);
// MainWindow decides which handler runs.
class WindowView
{
public:
    virtual ~WindowView() = default;

    // Text boxes, labels (their caption) and the unit field of TimerUnit.
    // Texts are UTF-8; the lines of a multi-line box are joined by CRLF.
    virtual std::string Text(Control control) const = 0;
    virtual void SetText(Control control, const std::string &text) = 0;
    // Adds the text at the end of a multi-line box (CR, LF and CRLF each break
    // a line) without touching the rest.
    virtual void AppendText(Control control, const std::string &text) = 0;
    // Removes the start of a multi-line box, `dropped`, which ends at a line
    // start (so a shell may count its line breaks instead of its bytes).
    virtual void DropLeadingText(Control control, const std::string &dropped) = 0;
    virtual TextSelection Selection(Control control) const = 0;

    // Check boxes: kUnchecked, kChecked or kGrayed.
    virtual int Value(Control control) const = 0;
    virtual void SetValue(Control control, int value) = 0;

    // TimerUnit: the selected list entry, -1 when none is (typed text).
    virtual int ListIndex(Control control) const = 0;
    virtual void SetListIndex(Control control, int index) = 0;

    virtual bool Enabled(Control control) const = 0;
    virtual void SetEnabled(Control control, bool enabled) = 0;

    virtual Tab CurrentTab() const = 0;
    virtual void SetCurrentTab(Tab tab) = 0;
    virtual bool TabVisible(Tab tab) const = 0;
    virtual void SetTabVisible(Tab tab, bool visible) = 0;

    // The window itself.
    virtual std::string Caption() const = 0;
    virtual void SetCaption(const std::string &caption) = 0;
    virtual WindowState State() const = 0;
    // Like every setter, not reported back: MainWindow runs WindowStateChanged itself.
    // The shell reports only the user's changes of state (title bar, task bar).
    virtual void SetState(WindowState state) = 0;
    virtual bool WindowVisible() const = 0;
    virtual void SetWindowVisible(bool visible) = 0;
    // Brings the shown window up to date on screen and to the front.
    virtual void Refresh() = 0;
    // Tells the user, and waits until they have read it, that what they set
    // could not be saved (so they can still copy it from the window).
    virtual void ShowSaveFailure(const std::string &message) = 0;
    // Tells the user something they should know, beside the window: returns at once.
    virtual void ShowNotice(const std::string &message) = 0;

    // The tray's popup menu.
    virtual bool MenuChecked(MenuItem item) const = 0;
    virtual void SetMenuChecked(MenuItem item, bool checked) = 0;
    // Opens the menu at the mouse pointer and returns at once; a chosen item
    // is reported through MainWindow::MenuItemChosen.
    virtual void PopupMenu() = 0;
};

} // namespace pellwick
