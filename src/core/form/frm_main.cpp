#include "core/form/frm_main.h"

#include "core/app/command_line.h"
#include "core/app/schedule.h"
#include "core/form/form_view.h"
#include "core/mail/socket.h"

#include <chrono>
#include <utility>

namespace pellwick {

frmMain::frmMain(FormView &view, FormParts parts)
    : m_view(view)
    , m_parts(std::move(parts))
    , m_tray(m_parts.notifyArea)
    , m_smtp(m_parts.socket, *this, m_parts.deadline,
             {m_parts.clock, m_parts.hostName, m_parts.messageIdRandom})
{
    // The timer ticks from the moment the window exists and is never stopped
    // before the exit.
    m_parts.timer.Start(kTickIntervalMs);
}

void frmMain::UserChangedValue(Control control)
{
    switch (control) {
    case Control::chkEmailIPOnStartup:
        chkEmailIPOnStartup_Click();
        break;
    case Control::chkDisplayIcon:
        if (IsChecked(control))
            AddTrayIcon();
        else
            m_tray.RemoveTrayIcon();
        break;
    case Control::chkTimerSend:
        ApplyTimerSettings();
        break;
    case Control::chkShowDebug:
        ShowDebugTab();
        break;
    default:
        if (const auto mark = showOptionMark(control)) {
            m_view.SetMenuChecked(*mark, IsChecked(control));
            UpdateTrayTip();
        }
        break;
    }
}

void frmMain::UserClicked(Control control)
{
    switch (control) {
    case Control::btnSendEmail:
        SendEmail(MailKind::Button);
        break;
    case Control::btnInsertIP:
        btnInsertIP_Click();
        break;
    case Control::btnCopyIPToClip:
        CopyIPToClipboard();
        break;
    case Control::btnServer:
        btnServer_Click();
        break;
    default:
        break;
    }
}

void frmMain::UserChangedText(Control control)
{
    if (control == Control::cmbTimerRate)
        ApplyTimerSettings();
}

void frmMain::FocusMoved(Control from, Control to)
{
    if (from == to)
        return;
    // An emptied rate switches the schedule off, whose handler then applies
    // the settings.
    if (from == Control::txtTimerRate && m_view.Text(Control::txtTimerRate).empty())
        SetValue(Control::chkTimerSend, vbUnchecked);
    else if (from == Control::txtTimerRate)
        ApplyTimerSettings();
    // The IP goes where the user was typing last.
    if (to == Control::txtMsg || to == Control::txtSubject) {
        m_view.SetEnabled(Control::btnInsertIP, true);
        g_blnMsgFocus = to == Control::txtMsg;
    }
}

void frmMain::MenuItemChosen(MenuItem item)
{
    switch (item) {
    case MenuItem::CopyIP:
        CopyIPToClipboard();
        break;
    case MenuItem::ShowIP:
    case MenuItem::ShowPhyMem:
    case MenuItem::ShowVirtMem:
        toggleShowOption(item);
        break;
    case MenuItem::Restore:
        Restore_Click();
        break;
    case MenuItem::Minimize:
        Minimize_Click();
        break;
    case MenuItem::Exit:
        Form_Unload();
        break;
    }
}

void frmMain::SetValue(Control control, int value)
{
    if (m_view.Value(control) == value)
        return;
    m_view.SetValue(control, value);
    UserChangedValue(control);
}

bool frmMain::IsChecked(Control control) const
{
    return m_view.Value(control) == vbChecked;
}

void frmMain::Form_Load()
{
    m_view.SetCurrentTab(Tab::Email);
    m_memory = m_parts.memoryReader();
    LoadSettings();
    g_strLocalIP = localIp();
    UpdateCaption("");
    if (m_view.Value(Control::chkMinimized) == vbUnchecked) {
        m_view.SetWindowVisible(true);
    } else if (m_parts.notifyArea.Available()) {
        m_view.SetWindowVisible(false);
        AddTrayIcon();
    } else {
        // Hidden with no notification area, the window could never be brought
        // back: it starts minimised on the task bar instead.
        m_view.SetWindowVisible(true);
        m_view.SetState(WindowState::Minimized);
    }
    UpdateTrayTip();
    if (IsChecked(Control::chkAutoMail)) {
        m_view.SetEnabled(Control::chkAutoExit, true);
        SendEmail();
    }
    chkEmailIPOnStartup_Click();
    if (IsChecked(Control::chkCopyToClipOnStartup))
        CopyIPToClipboard();
    ApplyTimerSettings();
    UpdateMemoryLabels();
    ShowDebugTab();
    m_loaded = true;
}

void frmMain::ExitApp()
{
    if (m_exiting)
        return;
    m_exiting = true;
    SaveSettings();
    m_tray.RemoveTrayIcon();
    // Nothing else of the window acts from here on: the timer no longer ticks
    // and the dialogue is dropped.
    m_parts.timer.Stop();
    m_parts.socket.Close();
    // The window is still there: a user who ended the program can copy what
    // they typed before it goes.
    if (!m_saveFailure.empty() && m_userEnded)
        m_view.ShowSaveFailure(m_saveFailure);
    m_parts.endProcess(m_saveFailure.empty() ? 0 : 1);
}

void frmMain::Form_Unload()
{
    m_userEnded = true;
    ExitApp();
}

void frmMain::CheckAutoExit()
{
    // A log-in run ends once its mail is delivered or refused for good, not
    // while a retry waits.
    if (m_exiting || m_retry.Pending())
        return;
    if (IsLoginRun(m_parts.commandLine) && IsChecked(Control::chkAutoExit))
        ExitApp();
}

void frmMain::ShowDebugTab()
{
    m_view.SetTabVisible(Tab::Debug, IsChecked(Control::chkShowDebug));
}

void frmMain::CopyIPToClipboard()
{
    m_parts.clipboard.SetText(localIp());
}

const std::string &frmMain::localIp() const
{
    if (m_localIpStale) {
        m_localIp = m_parts.localIp();
        m_localIpStale = false;
    }
    return m_localIp;
}

std::int64_t SteadyMilliseconds()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace pellwick
