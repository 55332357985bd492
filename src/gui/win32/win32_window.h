#pragma once

#include "core/form/controls.h"

#include "gui/win32/win32_api.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace pellwick {

// The text of a window or control.
std::wstring WindowText(HWND window);

// The settings window `frmMain` on Win32: the main window, the tab control with
// one page per tab, every control of the window with its caption and tooltip,
// and the tray's popup menu. Nothing here acts on an event: messages go to the
// handler the window is given.
//
// The main window and the menu exist from the start (Winsock, the timers and
// the tray talk to the window); the tab control and the controls only from
// BuildControls on, so a run that stays hidden makes none of them.
class Win32Window
{
public:
    class Handler
    {
    public:
        virtual ~Handler() = default;
        // A message for the main window; nullopt lets Windows handle it.
        virtual std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    };

    explicit Win32Window(HINSTANCE instance);
    ~Win32Window();
    Win32Window(const Win32Window &) = delete;
    Win32Window &operator=(const Win32Window &) = delete;

    void SetHandler(Handler *handler) { m_handler = handler; }
    // Makes the tab control, its pages and their controls (nothing when they exist).
    void BuildControls();
    bool ControlsBuilt() const { return m_controls[Index(Control::tabMain)] != nullptr; }

    HWND Window() const { return m_window; }
    HWND Handle(Control control) const { return m_controls[Index(control)]; }
    HICON Icon() const { return m_icon; }
    HMENU Menu() const { return m_menu; }
    // The control a child window stands for, if it is one.
    std::optional<Control> ControlOf(HWND handle) const;

    Tab CurrentTab() const;
    void SetCurrentTab(Tab tab) { rebuildTabs(tab); }
    bool TabVisible(Tab tab) const { return m_tabVisible[Index(tab)]; }
    void SetTabVisible(Tab tab, bool visible);
    // Shows the page of the current tab and hides the others.
    void ShowCurrentPage();
    // Fonts and places for the monitor's resolution, in dots per inch (the window
    // moved to a monitor of another one, or its resolution changed).
    void SetDpi(int dpi);

    // The menu command of each item, in MenuItem order.
    static constexpr UINT kFirstMenuCommand = 100;

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK pageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

    void createControls();
    void createFonts();
    void applyFonts();
    void createMenu();
    void layOut();
    // The window's outer size; a minimised one takes it when restored.
    void resize(int width, int height);
    void addToolTips();
    void rebuildTabs(Tab current);

    HINSTANCE m_instance;
    Handler *m_handler = nullptr;
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
    // The tabs the tab control shows, in order.
    std::vector<Tab> m_shownTabs;
};

} // namespace pellwick
