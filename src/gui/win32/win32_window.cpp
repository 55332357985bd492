// SPDX-License-Identifier: MIT
#include "gui/win32/win32_window.h"

#include "core/settings/settings.h"
#include "core/window/window_description.h"
#include "platform/windows/instance_window.h"
#include "platform/windows/wide_text.h"

#include "gui/win32/resources/resource_ids.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <thread>

namespace pellwick {

namespace {

const wchar_t kPageClass[] = L"PellwickPage";
// The window class and styles of each kind of control, in WidgetKind order.
struct WindowClass
{
    const wchar_t *name;
    DWORD style;
    DWORD exStyle = 0;
};
const std::array<WindowClass, 10> kClasses {{
    {L"STATIC", SS_LEFT | SS_NOPREFIX},
    {L"EDIT", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE},
    {L"EDIT", WS_TABSTOP | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
     WS_EX_CLIENTEDGE},
    // The log wraps long lines at its edge, as the message field does.
    {L"EDIT", WS_TABSTOP | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY,
     WS_EX_CLIENTEDGE},
    {L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON},
    {L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX},
    {L"BUTTON", BS_GROUPBOX},
    {L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL},
    {L"STATIC", SS_BLACKFRAME},
    {L"STATIC", SS_ICON | SS_REALSIZECONTROL | SS_CENTERIMAGE},
}};

// Room a control needs around its caption: the check mark, a button's edges.
int captionPadding(WidgetKind kind, double scale)
{
    if (kind == WidgetKind::Check)
        return static_cast<int>(std::lround(22 * scale));
    if (kind == WidgetKind::Button || kind == WidgetKind::Frame)
        return static_cast<int>(std::lround(18 * scale));
    return 2;
}

// A caption's own font, as the description gives it.
HFONT captionFont(const ControlDescription &d, int dpi)
{
    LOGFONTW font {};
    font.lfHeight = -static_cast<LONG>(std::lround(d.points * dpi / 72.0));
    font.lfWeight = d.bold ? FW_BOLD : FW_NORMAL;
    font.lfQuality = CLEARTYPE_QUALITY;
    wcsncpy(font.lfFaceName, Widen(kCaptionFace).c_str(), LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
}

// The message field takes Enter for a new line, but Tab moves on to the buttons
// as in every other field.
LRESULT CALLBACK tabMovesOn(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                            DWORD_PTR)
{
    LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
    const auto *key = reinterpret_cast<const MSG *>(lParam);
    if (message == WM_GETDLGCODE && key && key->message == WM_KEYDOWN && key->wParam == VK_TAB)
        result &= ~static_cast<LRESULT>(DLGC_WANTTAB | DLGC_WANTALLKEYS);
    return result;
}

int screenDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

// An edit control breaks lines only at CRLF: a lone CR or LF becomes one.
std::wstring withCrLf(const std::wstring &text)
{
    std::wstring lines;
    lines.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' || text[i] == L'\n') {
            lines += L"\r\n";
            if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')
                ++i;
        } else {
            lines += text[i];
        }
    }
    return lines;
}

} // namespace

std::wstring WindowText(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

SIZE TextSize(HWND window, HFONT font, std::wstring_view text, int wrapWidth)
{
    HDC dc = GetDC(window);
    const HGDIOBJ old = SelectObject(dc, font);
    RECT room {0, 0, wrapWidth, 0};
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &room,
              DT_CALCRECT | DT_NOPREFIX
                  | (wrapWidth > 0 ? DT_WORDBREAK | DT_EDITCONTROL : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return {room.right - room.left, room.bottom - room.top};
}

LOGFONTW MessageFont(int dpi)
{
    NONCLIENTMETRICSW metrics {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    // The system's figures are for its own resolution; a monitor may have another.
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, screenDpi());
    return metrics.lfMessageFont;
}

int WindowDpi(HWND window)
{
    const auto dpi = static_cast<int>(GetDpiForWindow(window));
    return dpi > 0 ? dpi : screenDpi();
}

Win32Window::Win32Window(HINSTANCE instance)
    : m_instance(instance)
{
    m_icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_PELLWICK), IMAGE_ICON,
                                           GetSystemMetrics(SM_CXSMICON),
                                           GetSystemMetrics(SM_CYSMICON), 0));
    m_bigIcon = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_PELLWICK), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));

    WNDCLASSEXW windowClass {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = HandlerWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = m_bigIcon;
    windowClass.hIconSm = m_icon;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    // Painted by the class, or a window shows black where no control lies.
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kInstanceWindowClass;
    RegisterClassExW(&windowClass);
    windowClass.lpfnWndProc = pageProc;
    windowClass.hIcon = nullptr;
    windowClass.hIconSm = nullptr;
    windowClass.lpszClassName = kPageClass;
    RegisterClassExW(&windowClass);

    // A fixed dialog: it can be minimised and closed, not resized or maximised.
    m_window = CreateWindowExW(
        WS_EX_CONTROLPARENT, kInstanceWindowClass, Widen(kWindowTitle).c_str(),
        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT, CW_USEDEFAULT,
        kClientWidth, kClientHeight, nullptr, nullptr, instance, &m_handler);
    // The resolution of the monitor the window is on: it is per-monitor aware.
    m_dpi = WindowDpi(m_window);

    m_menu = CreatePopupMenu();
    for (const MenuEntry &entry : kTrayMenu) {
        if (!entry.item) {
            AppendMenuW(m_menu, MF_SEPARATOR | MF_GRAYED, 0, nullptr);
            continue;
        }
        const UINT mark = entry.checked ? MF_CHECKED : MF_UNCHECKED;
        AppendMenuW(m_menu, MF_STRING | mark, kFirstMenuCommand + static_cast<UINT>(*entry.item),
                    Widen(entry.caption).c_str());
    }
}

Win32Window::~Win32Window()
{
    if (m_window)
        DestroyWindow(m_window);
    DestroyMenu(m_menu);
    DeleteObject(m_font);
    for (HFONT font : m_captionFonts)
        DeleteObject(font);
    DestroyIcon(m_icon);
    DestroyIcon(m_bigIcon);
}

LRESULT CALLBACK HandlerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The handler is kept in the window's user data from its first message on.
    if (message == WM_NCCREATE) {
        const auto *create = reinterpret_cast<const CREATESTRUCTW *>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    const auto *handler
        = reinterpret_cast<const MessageHandler *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (handler && *handler) {
        if (const std::optional<LRESULT> handled = (*handler)(message, wParam, lParam))
            return *handled;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK Win32Window::pageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    // A page only holds controls: what they report is the window's business.
    if (message == WM_COMMAND || message == WM_NOTIFY)
        return SendMessageW(GetAncestor(page, GA_ROOT), message, wParam, lParam);
    return DefWindowProcW(page, message, wParam, lParam);
}

void Win32Window::BuildControls()
{
    if (ControlsBuilt())
        return;
    // The window takes the size its controls need: no state change of the user's.
    m_applyingState = true;
    HWND tab = CreateWindowExW(0, WC_TABCONTROLW, L"",
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, 0, 0, 10, 10,
                               m_window, nullptr, m_instance, nullptr);
    m_controls[Index(Control::Tabs)] = tab;
    for (std::size_t i = 0; i < m_pages.size(); ++i)
        m_pages[i] = CreateWindowExW(WS_EX_CONTROLPARENT, kPageClass, L"", WS_CHILD, 0, 0, 10, 10,
                                     m_window, nullptr, m_instance, nullptr);

    m_tooltips
        = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                          WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, m_window, nullptr, m_instance, nullptr);

    for (const ControlDescription &layout : WindowControls()) {
        const WindowClass &kind = kClasses[Index(layout.kind)];
        HWND control = CreateWindowExW(
            kind.exStyle, kind.name, Widen(layout.caption).c_str(),
            WS_CHILD | WS_VISIBLE | kind.style | (layout.enabled ? 0 : WS_DISABLED), 0, 0, 10, 10,
            m_pages[Index(layout.tab)], nullptr, m_instance, nullptr);
        m_controls[Index(layout.control)] = control;
        if (layout.toolTip.empty())
            continue;
        std::wstring tip = Widen(layout.toolTip);
        TOOLINFOW tool {};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = m_window;
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = tip.data();
        SendMessageW(m_tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    setFonts();

    HWND unit = Handle(Control::TimerUnit);
    for (const std::string_view entry : kTimerUnits)
        SendMessageW(unit, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(entry).c_str()));
    SendMessageW(unit, CB_SETCURSEL, 0, 0);
    // The log holds more than an edit control's first 32 K; a field takes no
    // more than its stored value may hold.
    SendMessageW(Handle(Control::DebugText), EM_SETLIMITTEXT, 0, 0);
    for (const SettingRow &row : SettingsTable()) {
        if (row.kind == ControlKind::TextBox)
            SendMessageW(Handle(row.control), EM_SETLIMITTEXT, static_cast<WPARAM>(row.max), 0);
    }
    SetWindowSubclass(Handle(Control::Message), tabMovesOn, 1, 0);
    HICON picture = static_cast<HICON>(
        LoadImageW(m_instance, MAKEINTRESOURCEW(IDI_PELLWICK), IMAGE_ICON, 128, 128, 0));
    SendMessageW(Handle(Control::AboutIcon), STM_SETICON, reinterpret_cast<WPARAM>(picture), 0);
    rebuildTabs(Tab::Email);
    layOut();
    m_applyingState = false;
}

void Win32Window::setFonts()
{
    DeleteObject(m_font);
    for (HFONT font : m_captionFonts)
        DeleteObject(font);
    const LOGFONTW message = MessageFont(m_dpi);
    m_font = CreateFontIndirectW(&message);
    for (const ControlDescription &d : WindowControls())
        m_captionFonts[Index(d.control)] = d.points > 0 ? captionFont(d, m_dpi) : nullptr;
    for (std::size_t i = 0; i < m_controls.size(); ++i) {
        HFONT font = m_captionFonts[i] ? m_captionFonts[i] : m_font;
        SendMessageW(m_controls[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    // Long tips wrap instead of running across the screen.
    SendMessageW(m_tooltips, TTM_SETMAXTIPWIDTH, 0, MulDiv(400, m_dpi, 96));
}

void Win32Window::SetDpi(int dpi)
{
    if (dpi == m_dpi || dpi <= 0)
        return;
    m_dpi = dpi;
    if (!ControlsBuilt())
        return;
    setFonts();
    layOut();
    RedrawWindow(m_window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Win32Window::layOut()
{
    // The drawing's sizes suit a font 13 pixels high at 96 dots per inch.
    const double scale = std::max(m_dpi / 96.0, TextSize(m_window, m_font, L"Ag").cy / 13.0);
    const auto scaled = [scale](int value) {
        return static_cast<int>(std::lround(value * scale));
    };

    // The width a control's caption needs; 0 for one without, or that wraps.
    const auto need = [this, scale](const ControlDescription &layout) {
        if (layout.width <= 0 || layout.caption.empty() || layout.control == Control::TipText)
            return 0;
        HWND control = Handle(layout.control);
        const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
        return static_cast<int>(TextSize(control, font, Widen(layout.caption)).cx)
               + captionPadding(layout.kind, scale);
    };
    // Column 0 of a tab widens as far as its widest caption needs, and column 1
    // moves right as far.
    std::array<int, 5> grow {};
    for (const ControlDescription &layout : WindowControls()) {
        if (layout.column == 0 && layout.width > 0) {
            int &tabGrow = grow[Index(layout.tab)];
            tabGrow = std::max(tabGrow, need(layout) - scaled(layout.width));
        }
    }
    // A control's left edge and width on its page: as drawn, moved and widened
    // for the captions of its tab.
    const auto place = [&](const ControlDescription &layout) {
        const int tabGrow = grow[Index(layout.tab)];
        const int widened
            = scaled(layout.width) + (layout.column == 0 && layout.width > 0 ? tabGrow : 0);
        return std::pair {scaled(layout.x) + (layout.column == 1 ? tabGrow : 0),
                          std::max(widened, need(layout))};
    };
    int pageWidth = scaled(kClientWidth - 7 - 8);
    for (const ControlDescription &layout : WindowControls()) {
        const auto [x, w] = place(layout);
        if (layout.width > 0)
            pageWidth = std::max(pageWidth, x + w + scaled(8));
    }

    // The tab control keeps the drawing's margins; its pages lie inside it.
    RECT client {0, 0, 0, scaled(kClientHeight)};
    RECT probe {0, 0, 1000, 1000};
    SendMessageW(Handle(Control::Tabs), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&probe));
    const int chromeWidth = 1000 - (probe.right - probe.left);
    client.right = std::max(scaled(kClientWidth), pageWidth + chromeWidth + scaled(7));
    RECT pageArea {scaled(4), scaled(8), client.right - scaled(3), client.bottom - scaled(4)};
    MoveWindow(Handle(Control::Tabs), pageArea.left, pageArea.top, pageArea.right - pageArea.left,
               pageArea.bottom - pageArea.top, FALSE);
    SendMessageW(Handle(Control::Tabs), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&pageArea));
    const int width = pageArea.right - pageArea.left;
    const int height = pageArea.bottom - pageArea.top;
    for (HWND page : m_pages)
        MoveWindow(page, pageArea.left, pageArea.top, width, height, FALSE);

    for (const ControlDescription &layout : WindowControls()) {
        const auto [x, w] = place(layout);
        const int y = scaled(layout.y);
        MoveWindow(Handle(layout.control), x, y, layout.width == 0 ? width - 2 * x : w,
                   layout.height < 0 ? height - y + scaled(layout.height) : scaled(layout.height),
                   FALSE);
    }

    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(m_window, GWL_STYLE));
    AdjustWindowRectExForDpi(&client, style, FALSE, WS_EX_CONTROLPARENT, static_cast<UINT>(m_dpi));
    resize(client.right - client.left, client.bottom - client.top);
}

void Win32Window::resize(int width, int height)
{
    if (!IsIconic(m_window)) {
        SetWindowPos(m_window, nullptr, 0, 0, width, height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    WINDOWPLACEMENT placement {};
    placement.length = sizeof placement;
    GetWindowPlacement(m_window, &placement);
    RECT &normal = placement.rcNormalPosition;
    normal.right = normal.left + width;
    normal.bottom = normal.top + height;
    placement.flags = 0;
    placement.showCmd = IsWindowVisible(m_window) ? SW_SHOWMINNOACTIVE : SW_HIDE;
    SetWindowPlacement(m_window, &placement);
}

std::optional<Control> Win32Window::ControlOf(HWND handle) const
{
    const auto found = std::find(m_controls.begin(), m_controls.end(), handle);
    if (found == m_controls.end())
        return std::nullopt;
    return static_cast<Control>(found - m_controls.begin());
}

void Win32Window::rebuildTabs(Tab current)
{
    HWND tab = Handle(Control::Tabs);
    SendMessageW(tab, TCM_DELETEALLITEMS, 0, 0);
    // The current tab stays selected while it is shown; else the first one is.
    WPARAM shown = 0;
    WPARAM selected = 0;
    for (std::size_t i = 0; i < kTabCaptions.size(); ++i) {
        if (!m_tabVisible[i])
            continue;
        std::wstring caption = Widen(kTabCaptions[i]);
        TCITEMW item {};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        if (static_cast<Tab>(i) == current)
            selected = shown;
        SendMessageW(tab, TCM_INSERTITEMW, shown++, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageW(tab, TCM_SETCURSEL, selected, 0);
    ShowCurrentPage();
}

Tab Win32Window::CurrentTab() const
{
    // The selected one of the tabs shown.
    auto selected = SendMessageW(Handle(Control::Tabs), TCM_GETCURSEL, 0, 0);
    for (std::size_t i = 0; i < m_tabVisible.size(); ++i) {
        if (m_tabVisible[i] && selected-- == 0)
            return static_cast<Tab>(i);
    }
    return Tab::Email;
}

void Win32Window::SetTabVisible(Tab tab, bool visible)
{
    const Tab current = CurrentTab();
    m_tabVisible[Index(tab)] = visible;
    rebuildTabs(current);
}

void Win32Window::ShowCurrentPage()
{
    const Tab current = CurrentTab();
    for (std::size_t i = 0; i < m_pages.size(); ++i)
        ShowWindow(m_pages[i], static_cast<Tab>(i) == current ? SW_SHOW : SW_HIDE);
}

std::string Win32Window::Text(Control control) const
{
    return Narrow(WindowText(Handle(control)));
}

void Win32Window::SetText(Control control, const std::string &text)
{
    SetWindowTextW(Handle(control), withCrLf(Widen(text)).c_str());
}

std::string Win32Window::Caption() const
{
    return Narrow(WindowText(m_window));
}

void Win32Window::SetCaption(const std::string &caption)
{
    SetWindowTextW(m_window, Widen(caption).c_str());
}

void Win32Window::AppendText(Control control, const std::string &text)
{
    HWND edit = Handle(control);
    keepReaderPlace(edit, 0, [edit, &text] {
        // Insert at the end only: the cost of an append does not grow with the log.
        const auto end = static_cast<WPARAM>(GetWindowTextLengthW(edit));
        SendMessageW(edit, EM_SETSEL, end, static_cast<LPARAM>(end));
        const std::wstring lines = withCrLf(Widen(text));
        SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(lines.c_str()));
    });
}

void Win32Window::DropLeadingText(Control control, const std::string &dropped)
{
    HWND edit = Handle(control);
    // The box holds the text as AppendText put it there, line breaks as CRLF.
    const auto count = withCrLf(Widen(dropped)).size();
    keepReaderPlace(edit, count, [edit, count] {
        SendMessageW(edit, EM_SETSEL, 0, static_cast<LPARAM>(count));
        SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
    });
}

void Win32Window::keepReaderPlace(HWND edit, std::size_t dropped,
                                  const std::function<void()> &change)
{
    // A reader at the end (or of a log with no scroll bar yet) follows the new
    // text; one who scrolled back keeps the same text in view and selected.
    SCROLLINFO bar {};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_ALL;
    const bool following
        = !GetScrollInfo(edit, SB_VERT, &bar) || bar.nPos + static_cast<int>(bar.nPage) > bar.nMax;
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const auto firstLine = static_cast<WPARAM>(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
    const auto top = static_cast<std::size_t>(SendMessageW(edit, EM_LINEINDEX, firstLine, 0));
    change();
    if (following) {
        const auto last = static_cast<WPARAM>(GetWindowTextLengthW(edit));
        SendMessageW(edit, EM_SETSEL, last, static_cast<LPARAM>(last));
        SendMessageW(edit, EM_SCROLLCARET, 0, 0);
        return;
    }
    const auto shifted = [dropped](std::size_t at) {
        return at > dropped ? at - dropped : 0;
    };
    SendMessageW(edit, EM_SETSEL, shifted(start), static_cast<LPARAM>(shifted(end)));
    const LRESULT line = SendMessageW(edit, EM_LINEFROMCHAR, shifted(top), 0);
    SendMessageW(edit, EM_LINESCROLL, 0, line - SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
}

void Win32Window::ShowSaveFailure(const std::string &message)
{
    // The window first, and a box that no window owns: the window stays usable,
    // so what the user typed can still be selected and copied. The program ends
    // when the box is closed.
    SetState(WindowState::Normal);
    SetWindowVisible(true);
    const std::wstring text = Widen(message) + L"\r\n\r\n" + Widen(kSaveFailureHint);
    MessageBoxW(nullptr, text.c_str(), Widen(kWindowTitle).c_str(),
                MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
}

void Win32Window::ShowNotice(const std::string &message)
{
    // A box of its own thread, owned by no window, blocks nothing of the program.
    std::thread([text = Widen(message)] {
        MessageBoxW(nullptr, text.c_str(), Widen(kWindowTitle).c_str(),
                    MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
    }).detach();
}

TextSelection Win32Window::Selection(Control control) const
{
    HWND edit = Handle(control);
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const std::wstring text = WindowText(edit);
    const std::size_t from = Narrow(text.substr(0, start)).size();
    return {from, Narrow(text.substr(0, end)).size() - from};
}

// A check box's states are numbered as MainWindow's values.
static_assert(BST_UNCHECKED == kUnchecked && BST_CHECKED == kChecked
              && BST_INDETERMINATE == kGrayed);

int Win32Window::Value(Control control) const
{
    return static_cast<int>(SendMessageW(Handle(control), BM_GETCHECK, 0, 0));
}

void Win32Window::SetValue(Control control, int value)
{
    HWND box = Handle(control);
    // Only a box set grey by the program shows the third state.
    SendMessageW(box, BM_SETSTYLE, value == kGrayed ? BS_AUTO3STATE : BS_AUTOCHECKBOX, TRUE);
    SendMessageW(box, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void Win32Window::SetListIndex(Control control, int index)
{
    SendMessageW(Handle(control), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    m_unitListIndex = index;
}

void Win32Window::SetState(WindowState state)
{
    m_applyingState = true;
    // A hidden window shows for this moment: MainWindow hides a minimised one
    // again, and shows a restored one.
    ShowWindow(m_window, state == WindowState::Minimized ? SW_MINIMIZE : SW_RESTORE);
    m_applyingState = false;
}

void Win32Window::SetWindowVisible(bool visible)
{
    HWND window = m_window;
    ShowWindow(window, visible ? (IsIconic(window) ? SW_SHOWMINIMIZED : SW_SHOW) : SW_HIDE);
    if (visible)
        SetForegroundWindow(window);
}

void Win32Window::Refresh()
{
    RedrawWindow(m_window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

bool Win32Window::MenuChecked(MenuItem item) const
{
    return (GetMenuState(m_menu, kFirstMenuCommand + static_cast<UINT>(item), MF_BYCOMMAND)
            & MF_CHECKED)
           != 0;
}

void Win32Window::SetMenuChecked(MenuItem item, bool checked)
{
    const UINT mark = checked ? MF_CHECKED : MF_UNCHECKED;
    CheckMenuItem(m_menu, kFirstMenuCommand + static_cast<UINT>(item), MF_BYCOMMAND | mark);
}

void Win32Window::PopupMenu()
{
    HWND window = m_window;
    POINT pointer {};
    GetCursorPos(&pointer);
    // The menu opens from the pointer towards the middle of the screen, so from
    // a notification area at an edge it never covers the icon.
    MONITORINFO monitor {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromPoint(pointer, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT &area = monitor.rcMonitor;
    const UINT horizontal
        = pointer.x > (area.left + area.right) / 2 ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
    const UINT vertical = pointer.y > (area.top + area.bottom) / 2 ? TPM_BOTTOMALIGN : TPM_TOPALIGN;
    // The menu closes when clicked elsewhere only if its window is in front;
    // the message after it lets the menu's own loop end cleanly.
    SetForegroundWindow(window);
    TrackPopupMenu(m_menu, horizontal | vertical | TPM_RIGHTBUTTON, pointer.x, pointer.y, 0, window,
                   nullptr);
    PostMessageW(window, WM_NULL, 0, 0);
}

} // namespace pellwick
