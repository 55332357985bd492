// SPDX-License-Identifier: MIT
#pragma once

#include "core/window/window_view.h"

#include "gui/win32/win32_api.h"

#include <array>
#include <functional>
#include <optional>
#include <string>

namespace pellwick {

// The text of a window or control.
std::wstring WindowText(HWND window);
// The room a text takes in a font: on one line, or wrapped as an edit control
// wraps it at `wrapWidth`.
SIZE TextSize(HWND window, HFONT font, std::wstring_view text, int wrapWidth = 0);
// The system's font for messages and dialogs, at `dpi` dots per inch.
LOGFONTW MessageFont(int dpi);
// The resolution of the monitor a window is on, in dots per inch.
int WindowDpi(HWND window);

// A message for a window; nullopt lets Windows handle it.
using MessageHandler
    = std::function<std::optional<LRESULT>(UINT message, WPARAM wParam, LPARAM lParam)>;

// The window procedure of a window made with a MessageHandler as
// CreateWindowExW's last argument: its messages go to that handler, once set.
LRESULT CALLBACK HandlerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The settings window on Win32, and MainWindow's view of it: the main
// window, the tab control with one page per tab, every control of the window
// with its caption and tooltip, and the tray's popup menu. Nothing here acts on
// an event: messages go to the handler the window is given. Every setter
// changes what is shown and nothing else: Windows reports no change made by
// code as a click, so no handler of MainWindow runs from here.
//
// The main window and the menu exist from the start (Winsock, the timers and
// the tray talk to the window); the tab control and the controls only from
// BuildControls on, so a run that stays hidden makes none of them.
class Win32Window : public WindowView
{
public:
    explicit Win32Window(HINSTANCE instance);
    ~Win32Window() override;
    Win32Window(const Win32Window &) = delete;
    Win32Window &operator=(const Win32Window &) = delete;

    void SetHandler(MessageHandler handler) { m_handler = std::move(handler); }
    // Makes the tab control, its pages and their controls (nothing when they exist).
    void BuildControls();
    bool ControlsBuilt() const { return m_controls[Index(Control::Tabs)] != nullptr; }

    HWND Window() const { return m_window; }
    HWND Handle(Control control) const { return m_controls[Index(control)]; }
    HICON Icon() const { return m_icon; }
    // The control a child window stands for, if it is one.
    std::optional<Control> ControlOf(HWND handle) const;

    Tab CurrentTab() const override;
    void SetCurrentTab(Tab tab) override { rebuildTabs(tab); }
    bool TabVisible(Tab tab) const override { return m_tabVisible[Index(tab)]; }
    void SetTabVisible(Tab tab, bool visible) override;
    // Shows the page of the current tab and hides the others.
    void ShowCurrentPage();
    // Fonts and places for the monitor's resolution, in dots per inch (the window
    // moved to a monitor of another one, or its resolution changed).
    void SetDpi(int dpi);

    // The menu command of each item, in MenuItem order.
    static constexpr UINT kFirstMenuCommand = 100;

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
    bool Enabled(Control control) const override
    {
        return IsWindowEnabled(Handle(control)) != FALSE;
    }
    void SetEnabled(Control control, bool enabled) override
    {
        EnableWindow(Handle(control), enabled);
    }
    std::string Caption() const override;
    void SetCaption(const std::string &caption) override;
    WindowState State() const override
    {
        return IsIconic(m_window) ? WindowState::Minimized : WindowState::Normal;
    }
    void SetState(WindowState state) override;
    bool WindowVisible() const override { return IsWindowVisible(m_window) != FALSE; }
    void SetWindowVisible(bool visible) override;
    void Refresh() override;
    bool MenuChecked(MenuItem item) const override;
    void SetMenuChecked(MenuItem item, bool checked) override;
    void PopupMenu() override;
    void ShowSaveFailure(const std::string &message) override;
    void ShowNotice(const std::string &message) override;

    // The user chose a unit from the list, or typed into its field (-1).
    void SetUnitChoice(int index) { m_unitListIndex = index; }
    // True while SetState changes the state or BuildControls the size: the
    // window does not report that change back.
    bool ApplyingState() const { return m_applyingState; }

private:
    static LRESULT CALLBACK pageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

    // The fonts for the window's resolution, given to every control.
    void setFonts();
    void layOut();
    // The window's outer size; a minimised one takes it when restored.
    void resize(int width, int height);
    void rebuildTabs(Tab current);
    // Makes `change` to a log's text, `dropped` characters cut off its front.
    static void keepReaderPlace(HWND edit, std::size_t dropped,
                                const std::function<void()> &change);

    HINSTANCE m_instance;
    MessageHandler m_handler;
    HWND m_window = nullptr;
    HWND m_tooltips = nullptr;
    HICON m_icon = nullptr;
    HICON m_bigIcon = nullptr;
    HMENU m_menu = nullptr;
    int m_dpi = 96;
    HFONT m_font = nullptr;
    // The captions with a font of their own.
    std::array<HFONT, kControlCount> m_captionFonts {};
    std::array<HWND, kControlCount> m_controls {};
    std::array<HWND, 5> m_pages {};
    std::array<bool, 5> m_tabVisible {true, true, true, true, true};
    int m_unitListIndex = 0;
    bool m_applyingState = false;
};

} // namespace pellwick
