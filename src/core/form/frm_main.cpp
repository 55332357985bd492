#include "core/form/frm_main.h"

#include "core/app/command_line.h"
#include "core/app/schedule.h"
#include "core/form/form_view.h"
#include "core/mail/socket.h"
#include "core/settings/autostart.h"
#include "core/tray/tray_icon_data.h"

#include <utility>

namespace pellwick {

frmMain::frmMain(FormView &view, FormParts parts)
    : m_view(view)
    , m_parts(std::move(parts))
    , m_memory(m_parts.memoryReader)
    , m_tray(m_parts.notifyArea)
    , m_smtp(m_parts.socket, *this, m_parts.deadline,
             {m_parts.clock, m_parts.hostName, m_parts.messageIdRandom})
{
    // The timer ticks from the moment the window exists and is never stopped
    // before the exit.
    m_parts.timer.Start(kTickIntervalMs);
}

frmMain::~frmMain() = default;

void frmMain::UserChangedValue(Control control)
{
    RunClick(control);
}

void frmMain::UserClicked(Control control)
{
    switch (control) {
    case Control::btnSendEmail:
        SendEmail();
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
        cmbTimerRate_Change();
}

void frmMain::FocusMoved(Control from, Control to)
{
    if (from == to)
        return;
    if (from == Control::txtTimerRate)
        txtTimerRate_LostFocus();
    if (to == Control::txtMsg)
        txtMsg_GotFocus();
    else if (to == Control::txtSubject)
        txtSubject_GotFocus();
}

void frmMain::MenuItemChosen(MenuItem item)
{
    switch (item) {
    case MenuItem::CopyIP:
        CopyIPToClipboard();
        break;
    case MenuItem::ShowIP:
        ShowIP_Click();
        break;
    case MenuItem::ShowPhyMem:
        ShowPhyMem_Click();
        break;
    case MenuItem::ShowVirtMem:
        ShowVirtMem_Click();
        break;
    case MenuItem::Restore:
        Restore_Click();
        break;
    case MenuItem::Minimize:
        Minimize_Click();
        break;
    case MenuItem::Exit:
        ExitApp();
        break;
    }
}

void frmMain::SetValue(Control control, int value)
{
    if (m_view.Value(control) == value)
        return;
    m_view.SetValue(control, value);
    RunClick(control);
}

bool frmMain::IsChecked(Control control) const
{
    return m_view.Value(control) == vbChecked;
}

void frmMain::RunClick(Control control)
{
    switch (control) {
    case Control::chkEmailIPOnStartup:
        chkEmailIPOnStartup_Click();
        break;
    case Control::chkDisplayIcon:
        chkDisplayIcon_Click();
        break;
    case Control::chkShowIP:
        chkShowIP_Click();
        break;
    case Control::chkShowPhyMem:
        chkShowPhyMem_Click();
        break;
    case Control::chkShowVirtualMem:
        chkShowVirtualMem_Click();
        break;
    case Control::chkTimerSend:
        chkTimerSend_Click();
        break;
    case Control::chkShowDebug:
        ShowDebugTab();
        break;
    default:
        break;
    }
}

void frmMain::Form_Load()
{
    m_view.SetCurrentTab(Tab::Email);
    m_memory.ReadMemoryStatus();
    LoadSettings();
    g_strLocalIP = m_parts.localIp();
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
    RemoveTrayIcon();
    // Nothing else of the window acts from here on: the timer no longer ticks
    // and the dialogue is dropped.
    m_parts.timer.Stop();
    m_parts.socket.Close();
    m_parts.endProcess();
}

void frmMain::Form_Unload()
{
    ExitApp();
}

void frmMain::CheckAutoExit()
{
    if (m_exiting)
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
    m_parts.clipboard.SetText(m_parts.localIp());
}

} // namespace pellwick
