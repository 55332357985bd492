#pragma once

#include "core/form/controls.h"
#include "core/form/form_parts.h"
#include "core/mail/smtp.h"
#include "core/mail/smtp_host.h"
#include "core/mail/submission_settings.h"
#include "core/tray/memory.h"
#include "core/tray/sys_tray_icon.h"

#include <cstdint>
#include <string>

namespace pellwick {

class FormView;

// The settings window's behaviour: its controls are the live settings; it runs
// the mail dialogue, the tray icon, the timer and the program's start and end.
// It sees its controls only through the view and the world only through its
// parts, so any shell (or none) can carry it.
class frmMain : public SmtpHost
{
public:
    // Starts tmrMain; no tick is handled before Form_Load has returned.
    frmMain(FormView &view, FormParts parts);
    ~frmMain() override;
    frmMain(const frmMain &) = delete;
    frmMain &operator=(const frmMain &) = delete;

    // Event entry points for the shell.
    // The user changed a check box's value (the view already shows it).
    void UserChangedValue(Control control);
    // The user pressed a button.
    void UserClicked(Control control);
    // The user typed into a field (only cmbTimerRate's field acts on it).
    void UserChangedText(Control control);
    // The focus moved from one control of the window to another; a window
    // losing or gaining the focus as a whole is not reported.
    void FocusMoved(Control from, Control to);
    void MenuItemChosen(MenuItem item);
    // A mouse event on the tray icon, numbered like its window message.
    void Form_MouseDown(int trayEvent);
    // The window's state changed (by the user or by SetState).
    void Form_Resize();
    // The user closed the window, or the session or a signal ends the program.
    void Form_Unload();
    void wckMain_DataArrival(std::int32_t count);
    void tmrMain_Timer();

    // Start-up, in its fixed order.
    void Form_Load();
    // Saves, removes the tray icon and ends the program. Runs once.
    void ExitApp();

    // Mail.
    void SendEmail();
    std::string InsertIPAddress(const std::string &text) const;
    void btnInsertIP_Click();
    void txtMsg_GotFocus();
    void txtSubject_GotFocus();
    // Port, security, user name, password and the trusted certificate.
    void btnServer_Click();

    // SmtpHost.
    void AppendToDebugLog(const std::string &text) override;
    void UpdateCaption(const std::string &text) override;
    void CheckAutoExit() override;

    // Timer.
    void ApplyTimerSettings();
    void chkTimerSend_Click();
    void cmbTimerRate_Change();
    void txtTimerRate_LostFocus();

    // Tray and status texts.
    void AddTrayIcon();
    void RemoveTrayIcon();
    void UpdateTrayTip();
    void UpdateMemoryLabels();
    void chkDisplayIcon_Click();
    void chkShowIP_Click();
    void chkShowPhyMem_Click();
    void chkShowVirtualMem_Click();
    void Restore_Click();
    void Minimize_Click();
    void ShowIP_Click();
    void ShowPhyMem_Click();
    void ShowVirtMem_Click();

    // Settings.
    void LoadSettings();
    void SaveSettings();
    void chkEmailIPOnStartup_Click();

    void ShowDebugTab();
    void CopyIPToClipboard();

    std::string g_strLocalIP;
    std::int64_t g_lngTimer = 0;
    bool g_blnMsgFocus = false;

private:
    // Sets a check box by code: a different value runs its click handler, the
    // value it holds runs nothing.
    void SetValue(Control control, int value);
    bool IsChecked(Control control) const;
    void RunClick(Control control);
    void toggleShowOption(Control box, MenuItem item);

    FormView &m_view;
    FormParts m_parts;
    Memory m_memory;
    SysTrayIcon m_tray;
    Smtp m_smtp;
    // "SMTPPort", "SMTPSecurity", "SMTPUser" and "SMTPPin", loaded and saved
    // with the nineteen; edited in the Server dialog.
    SubmissionSettings m_submission;
    bool m_loaded = false;
    bool m_exiting = false;
};

} // namespace pellwick
