// SPDX-License-Identifier: MIT
#include "gui/win32/win32_server_dialog.h"

#include "core/settings/settings.h"
#include "core/text/text.h"
#include "core/window/window_description.h"
#include "gui/win32/resources/resource_ids.h"
#include "gui/win32/win32_window.h"
#include "platform/windows/wide_text.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <vector>

namespace pellwick {

namespace {

using Id = Win32ServerDialog::ItemId;

Id idOf(const ServerFieldDescription &row)
{
    return static_cast<Id>(Id::portField + static_cast<int>(row.field));
}

// Blanks at either end go, as in the window's own fields.
std::string trimmed(HWND control)
{
    return std::string(Trim(Narrow(WindowText(control)), " \t"));
}

// Each caption's id: its field's, moved up by this.
constexpr int kCaptionOffset = 100;

// A dialog with no controls yet: they are made once it exists, where fonts and
// sizes can be measured.
std::vector<WORD> emptyTemplate()
{
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    // Style, extended style, no controls, place and size, no menu, the dialog class.
    std::vector<WORD> words {LOWORD(style), HIWORD(style), 0, 0, 0, 0, 0, 100, 60, 0, 0};
    for (const wchar_t c : Widen(kServerDialogTitle))
        words.push_back(static_cast<WORD>(c));
    words.push_back(0);
    return words;
}

} // namespace

Win32ServerDialog::Win32ServerDialog(HINSTANCE instance, HWND owner)
    : m_instance(instance)
    , m_owner(owner)
{
}

std::optional<ServerDialog::Result> Win32ServerDialog::Edit(const SubmissionSettings &current,
                                                            const std::string &presentedFingerprint)
{
    m_current = ShownServerSettings(current);
    m_presented = Widen(presentedFingerprint);
    m_result = {};
    const std::vector<WORD> dialogTemplate = emptyTemplate();
    const INT_PTR accepted = DialogBoxIndirectParamW(
        m_instance, reinterpret_cast<const DLGTEMPLATE *>(dialogTemplate.data()), m_owner,
        dialogProc, reinterpret_cast<LPARAM>(this));
    DeleteObject(m_font);
    m_font = nullptr;
    if (accepted != IDOK)
        return std::nullopt;
    return std::move(m_result);
}

INT_PTR CALLBACK Win32ServerDialog::dialogProc(HWND dialog, UINT message, WPARAM wParam,
                                               LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        auto *self = reinterpret_cast<Win32ServerDialog *>(lParam);
        // Pellwick's icon on the dialog, as on every window of the program.
        for (const auto &[kind, size] :
             {std::pair<WPARAM, int> {ICON_SMALL, SM_CXSMICON}, {ICON_BIG, SM_CXICON}})
            SendMessageW(dialog, WM_SETICON, kind,
                         reinterpret_cast<LPARAM>(LoadImageW(
                             self->m_instance, MAKEINTRESOURCEW(IDI_PELLWICK), IMAGE_ICON,
                             GetSystemMetrics(size), GetSystemMetrics(size), LR_SHARED)));
        self->create(dialog);
        self->setFont(dialog);
        SetFocus(GetDlgItem(dialog, Id::portField));
        return FALSE; // the focus is set
    }
    auto *self = reinterpret_cast<Win32ServerDialog *>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (self && message == WM_DPICHANGED) {
        self->setFont(dialog);
        return TRUE;
    }
    if (!self || message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED)
        return FALSE;
    switch (LOWORD(wParam)) {
    case Id::trustButton:
        SetDlgItemTextW(dialog, Id::pinField, self->m_presented.c_str());
        return TRUE;
    case IDOK:
        self->accept(dialog);
        [[fallthrough]];
    case IDCANCEL:
        // The typed password does not stay in the control, whatever the user chose.
        SetDlgItemTextW(dialog, Id::passwordField, L"");
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

void Win32ServerDialog::create(HWND dialog)
{
    const auto make = [&](const wchar_t *windowClass, std::string_view text, DWORD style, int id,
                          DWORD exStyle = 0) {
        HWND control = CreateWindowExW(
            exStyle, windowClass, Widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10,
            dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), m_instance, nullptr);
        return control;
    };
    // Created in focus order; each caption comes just before its field, so that
    // its access key would lead there.
    for (const ServerFieldDescription &row : kServerFields) {
        const Id field = idOf(row);
        make(L"STATIC", row.caption, SS_LEFT | SS_NOPREFIX, field + kCaptionOffset);
        if (field == Id::securityField) {
            HWND combo = make(WC_COMBOBOXW, "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, field);
            for (const std::string_view entry : kSecurityEntries)
                SendMessageW(combo, CB_ADDSTRING, 0,
                             reinterpret_cast<LPARAM>(Widen(entry).c_str()));
            continue;
        }
        const DWORD extra = field == Id::passwordField ? ES_PASSWORD
                            : field == Id::portField   ? ES_NUMBER
                                                       : 0;
        HWND edit = make(L"EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL | extra, field, WS_EX_CLIENTEDGE);
        if (field != Id::portField)
            continue;
        HWND spin = make(UPDOWN_CLASSW, "",
                         UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                         Id::spnSmtpPort);
        SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
        SendMessageW(spin, UDM_SETRANGE32, 1, 65535);
    }
    // Read-only but selectable, so the fingerprint can be copied.
    make(L"EDIT", "", ES_MULTILINE | ES_READONLY, Id::presentedLabel);
    make(L"BUTTON", kTrustCertificate, WS_TABSTOP | BS_PUSHBUTTON, Id::trustButton);
    make(L"BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK);
    make(L"BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL);

    for (const auto &[id, cue] :
         {std::pair {Id::passwordField, kPasswordCue}, std::pair {Id::pinField, kPinCue}})
        SendDlgItemMessageW(dialog, id, EM_SETCUEBANNER, TRUE,
                            reinterpret_cast<LPARAM>(Widen(cue).c_str()));

    SendDlgItemMessageW(dialog, Id::spnSmtpPort, UDM_SETPOS32, 0, m_current.port);
    SendDlgItemMessageW(dialog, Id::securityField, CB_SETCURSEL,
                        static_cast<WPARAM>(m_current.security), 0);
    SendDlgItemMessageW(dialog, Id::userField, EM_SETLIMITTEXT,
                        static_cast<WPARAM>(SettingRowNamed("SMTPUser").max), 0);
    SendDlgItemMessageW(dialog, Id::pinField, EM_SETLIMITTEXT,
                        static_cast<WPARAM>(SettingRowNamed("SMTPPin").max), 0);
    SetDlgItemTextW(dialog, Id::userField, Widen(m_current.user).c_str());
    SetDlgItemTextW(dialog, Id::pinField, Widen(m_current.pin).c_str());
    SetDlgItemTextW(dialog, Id::presentedLabel,
                    Widen(PresentedCertificateText(Narrow(m_presented))).c_str());
    EnableWindow(GetDlgItem(dialog, Id::trustButton), !m_presented.empty());
}

void Win32ServerDialog::setFont(HWND dialog)
{
    // The font, and with it the layout, for the resolution of the dialog's monitor.
    const LOGFONTW font = MessageFont(WindowDpi(dialog));
    DeleteObject(m_font);
    m_font = CreateFontIndirectW(&font);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    layOut(dialog);
    InvalidateRect(dialog, nullptr, TRUE);
}

void Win32ServerDialog::layOut(HWND dialog)
{
    const auto dpi = static_cast<UINT>(WindowDpi(dialog));
    const auto scaled = [dpi](int value) {
        return MulDiv(value, static_cast<int>(dpi), 96);
    };
    const auto textWidth = [&](std::wstring_view text) {
        return static_cast<int>(TextSize(dialog, m_font, text).cx);
    };
    const int lineHeight = TextSize(dialog, m_font, L"Ag").cy;
    const int margin = scaled(11);
    const int gap = scaled(7);
    const int fieldHeight = lineHeight + scaled(8);
    const int buttonHeight = lineHeight + scaled(10);
    const int buttonPadding = scaled(24);

    int captionWidth = 0;
    for (const ServerFieldDescription &row : kServerFields)
        captionWidth = std::max(captionWidth, textWidth(Widen(row.caption)));
    // Wide enough for the widest choice of the list and a fingerprint on two lines.
    int fieldWidth = scaled(300);
    for (const std::string_view entry : kSecurityEntries)
        fieldWidth = std::max(fieldWidth, textWidth(Widen(entry)) + scaled(30));
    const int fieldX = margin + captionWidth + gap;
    const int width = fieldX + fieldWidth + margin;

    const auto move = [dialog](int id, int x, int y, int w, int h) {
        MoveWindow(GetDlgItem(dialog, id), x, y, w, h, FALSE);
    };
    int y = margin;
    for (const ServerFieldDescription &row : kServerFields) {
        const Id field = idOf(row);
        move(field + kCaptionOffset, margin, y + (fieldHeight - lineHeight) / 2, captionWidth,
             lineHeight);
        // The list's height includes its drop-down part.
        const int height = field == Id::securityField ? fieldHeight * 5 : fieldHeight;
        move(field, fieldX, y, fieldWidth, height);
        y += fieldHeight + gap;
    }
    // The arrows take their place at the port field's right edge again.
    SendDlgItemMessageW(dialog, Id::spnSmtpPort, UDM_SETBUDDY,
                        reinterpret_cast<WPARAM>(GetDlgItem(dialog, Id::portField)), 0);

    const int innerWidth = width - 2 * margin;
    // The edit control keeps a few pixels at its sides: the text wraps a little
    // earlier than the control's width.
    const int presentedHeight
        = TextSize(dialog, m_font, WindowText(GetDlgItem(dialog, Id::presentedLabel)),
                   innerWidth - scaled(8))
              .cy
          + scaled(4);
    move(Id::presentedLabel, margin, y, innerWidth, presentedHeight);
    y += presentedHeight + gap;
    move(Id::trustButton, margin, y, textWidth(Widen(kTrustCertificate)) + buttonPadding,
         buttonHeight);
    y += buttonHeight + 2 * gap;

    int buttonWidth = scaled(75);
    for (const wchar_t *text : {L"OK", L"Cancel"})
        buttonWidth = std::max(buttonWidth, textWidth(text) + buttonPadding);
    move(IDCANCEL, width - margin - buttonWidth, y, buttonWidth, buttonHeight);
    move(IDOK, width - margin - 2 * buttonWidth - gap, y, buttonWidth, buttonHeight);
    y += buttonHeight + margin;

    // The frame around that client area, centred over the owner.
    RECT frame {0, 0, width, y};
    AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)),
                             FALSE, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)),
                             dpi);
    RECT owner {};
    MONITORINFO monitor {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(m_owner, MONITOR_DEFAULTTONEAREST), &monitor);
    if (!m_owner || !IsWindowVisible(m_owner) || !GetWindowRect(m_owner, &owner))
        owner = monitor.rcWork;
    const int frameWidth = frame.right - frame.left;
    const int frameHeight = frame.bottom - frame.top;
    const int left
        = std::clamp<int>((owner.left + owner.right - frameWidth) / 2, monitor.rcWork.left,
                          std::max(monitor.rcWork.left, monitor.rcWork.right - frameWidth));
    const int top
        = std::clamp<int>((owner.top + owner.bottom - frameHeight) / 2, monitor.rcWork.top,
                          std::max(monitor.rcWork.top, monitor.rcWork.bottom - frameHeight));
    SetWindowPos(dialog, nullptr, left, top, frameWidth, frameHeight, SWP_NOZORDER);
}

void Win32ServerDialog::accept(HWND dialog)
{
    BOOL failed = FALSE;
    const auto port = static_cast<int>(SendDlgItemMessageW(dialog, Id::spnSmtpPort, UDM_GETPOS32, 0,
                                                           reinterpret_cast<LPARAM>(&failed)));
    // A field emptied or typed out of range keeps the port it showed.
    m_result.settings.port = ServerPortOr(failed ? 0 : port, m_current.port);
    m_result.settings.security
        = static_cast<int>(SendDlgItemMessageW(dialog, Id::securityField, CB_GETCURSEL, 0, 0));
    m_result.settings.user = trimmed(GetDlgItem(dialog, Id::userField));
    m_result.settings.pin = trimmed(GetDlgItem(dialog, Id::pinField));
    const std::wstring typed = WindowText(GetDlgItem(dialog, Id::passwordField));
    if (!typed.empty())
        m_result.password = Narrow(typed);
}

} // namespace pellwick
