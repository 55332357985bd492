// SPDX-License-Identifier: MIT
#pragma once

#include "core/mail/submission_settings.h"

#include "gui/win32/win32_api.h"

#include <string>

namespace pellwick {

// The "Server..." dialog of the Email tab as a modal Win32 dialog over the
// window that owns it: port, security, user name, password, the trusted
// certificate and the button that trusts it, which puts the fingerprint the
// server showed last into the trusted certificate's field.
class Win32ServerDialog : public ServerDialog
{
public:
    // The dialog's controls: the fields in ServerField order, then the rest.
    enum ItemId : int {
        portField = 1001,
        securityField,
        userField,
        passwordField,
        pinField,
        spnSmtpPort,
        presentedLabel,
        trustButton,
    };

    Win32ServerDialog(HINSTANCE instance, HWND owner);

    std::optional<Result> Edit(const SubmissionSettings &current,
                               const std::string &presentedFingerprint) override;

private:
    static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void create(HWND dialog);
    void setFont(HWND dialog);
    void layOut(HWND dialog);
    void accept(HWND dialog);

    HINSTANCE m_instance;
    HWND m_owner;
    HFONT m_font = nullptr;
    // What one Edit shows and what it gives back.
    SubmissionSettings m_current;
    std::wstring m_presented;
    Result m_result;
};

} // namespace pellwick
