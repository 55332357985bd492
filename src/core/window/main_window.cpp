// SPDX-License-Identifier: MIT
#include "core/window/main_window.h"

#include "core/app/command_line.h"
#include "core/app/schedule.h"
#include "core/mail/socket.h"
#include "core/tray/notify_area.h"
#include "core/window/send_now.h"
#include "core/window/window_view.h"

#include <chrono>
#include <utility>

namespace pellwick {

MainWindow::MainWindow(WindowView &view, WindowParts parts)
    : m_view(view)
    , m_parts(std::move(parts))
    , m_tray(m_parts.notifyArea)
    , m_smtp(m_parts.socket, *this, m_parts.deadline,
             {m_parts.clock, m_parts.hostName, m_parts.messageIdRandom})
{
    if (m_parts.datagrams && m_parts.addressDeadline)
        m_publicIp = std::make_unique<PublicAddressFinder>(PublicAddressFinder::Parts {
            *m_parts.datagrams, m_parts.streams, *m_parts.addressDeadline, m_parts.steadyMs,
            m_parts.messageIdRandom,
            [this](const std::string &line) { AppendToDebugLog(line + "\r\n"); },
            [this] {
                publicAddressSettled();
            }});
    // The timer ticks from the moment the window exists and is never stopped
    // before the exit.
    m_parts.timer.Start(kTickIntervalMs);
}

void MainWindow::UserChangedValue(Control control)
{
    switch (control) {
    case Control::EmailIpOnStartup:
        EmailIpOnStartupChanged();
        break;
    case Control::DisplayIcon:
        if (IsChecked(control))
            AddTrayIcon();
        else
            m_tray.RemoveTrayIcon();
        break;
    case Control::TimerSend:
        ApplyTimerSettings();
        break;
    case Control::ShowDebug:
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

void MainWindow::UserClicked(Control control)
{
    switch (control) {
    case Control::SendEmailButton:
        SendEmail(MailKind::Button);
        break;
    case Control::InsertIpButton:
        InsertToken(kIpToken);
        break;
    case Control::InsertPublicIpButton:
        InsertToken(kPublicIpToken);
        break;
    case Control::CopyIpButton:
        CopyIpToClipboard();
        break;
    case Control::ServerButton:
        OpenServerDialog();
        break;
    default:
        break;
    }
}

void MainWindow::UserChangedText(Control control)
{
    if (control == Control::TimerUnit)
        ApplyTimerSettings();
}

void MainWindow::FocusMoved(std::optional<Control> from, Control to)
{
    if (from == to)
        return;
    // An emptied rate switches the schedule off, whose handler then applies
    // the settings.
    if (from == Control::TimerRate && m_view.Text(Control::TimerRate).empty())
        SetValue(Control::TimerSend, kUnchecked);
    else if (from == Control::TimerRate)
        ApplyTimerSettings();
    // The IP goes where the user was typing last.
    if (to == Control::Message || to == Control::Subject) {
        m_view.SetEnabled(Control::InsertIpButton, true);
        m_view.SetEnabled(Control::InsertPublicIpButton, true);
        m_messageHadFocus = to == Control::Message;
    }
}

void MainWindow::MenuItemChosen(MenuItem item)
{
    switch (item) {
    case MenuItem::CopyIp:
        CopyIpToClipboard();
        break;
    case MenuItem::ShowIp:
    case MenuItem::ShowPhysicalMemory:
    case MenuItem::ShowVirtualMemory:
        toggleShowOption(item);
        break;
    case MenuItem::Restore:
        RestoreWindow();
        break;
    case MenuItem::Minimize:
        MinimizeWindow();
        break;
    case MenuItem::Exit:
        WindowClosed();
        break;
    }
}

void MainWindow::SetValue(Control control, int value)
{
    if (m_view.Value(control) == value)
        return;
    m_view.SetValue(control, value);
    UserChangedValue(control);
}

bool MainWindow::IsChecked(Control control) const
{
    return m_view.Value(control) == kChecked;
}

void MainWindow::Start()
{
    m_view.SetCurrentTab(Tab::Email);
    m_memory = m_parts.memoryReader();
    LoadSettings();
    if (!m_unreadable.empty() && IsLoginRun(m_parts.commandLine)) {
        refuseUnreadableSettings();
        return;
    }
    m_lastIp = localIp();
    if (templateUsesIpv6())
        m_lastIpv6 = ipv6();
    followTemplate();
    UpdateCaption("");
    if (m_view.Value(Control::StartMinimized) == kUnchecked) {
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
    if (IsChecked(Control::AutoMail)) {
        m_view.SetEnabled(Control::AutoExit, true);
        SendEmail();
    }
    EmailIpOnStartupChanged();
    if (IsChecked(Control::CopyIpOnStartup))
        CopyIpToClipboard();
    ApplyTimerSettings();
    UpdateMemoryLabels();
    showAddresses();
    ShowDebugTab();
    m_loaded = true;
    if (!m_unreadable.empty())
        m_view.ShowNotice(m_unreadable
                          + ".\n\nThe window shows the default settings, and nothing is mailed "
                            "by itself in this run. The file stays as it is; if you change a "
                            "setting, it is kept beside the new settings file when Pellwick "
                            "ends.");
}

void MainWindow::refuseUnreadableSettings()
{
    constexpr const char *kTitle = "Pellwick: the settings were not read";
    const std::string text = m_unreadable + "; nothing was sent and the file was left as it is";
    m_parts.lines.Write(LinePriority::Failure, kTitle, text);
    m_exitStatus = SendNow::kConfig;
    if (!m_parts.notifyArea.Available()) {
        ExitApp();
        return;
    }
    // The balloon needs its icon up for a while.
    m_tray.AddTrayIcon(localIp());
    m_parts.notifyArea.ShowMessage(kTitle, text);
    m_refusalTicks = 2;
}

void MainWindow::ExitApp()
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
    if (m_publicIp)
        m_publicIp->SetWanted(false);
    // The window is still there: a user who ended the program can copy what
    // they typed before it goes.
    if (!m_saveFailure.empty() && m_userEnded)
        m_view.ShowSaveFailure(m_saveFailure);
    m_parts.endProcess(m_saveFailure.empty() ? m_exitStatus : 1);
}

void MainWindow::WindowClosed()
{
    m_userEnded = true;
    ExitApp();
}

void MainWindow::CheckAutoExit()
{
    // A log-in run ends once its mail is delivered or refused for good, not
    // while a retry waits.
    if (m_exiting || m_retry.Pending() || m_mailAwaitsAddress)
        return;
    if (IsLoginRun(m_parts.commandLine) && IsChecked(Control::AutoExit))
        ExitApp();
}

void MainWindow::ShowDebugTab()
{
    m_view.SetTabVisible(Tab::Debug, IsChecked(Control::ShowDebug));
}

void MainWindow::CopyIpToClipboard()
{
    m_parts.clipboard.SetText(localIp());
}

const std::string &MainWindow::localIp() const
{
    if (m_localIpStale) {
        m_localIp = m_parts.localIp();
        m_localIpStale = false;
    }
    return m_localIp;
}

const std::optional<std::string> &MainWindow::ipv6() const
{
    if (m_ipv6Stale) {
        m_ipv6 = m_parts.globalIpv6();
        m_ipv6Stale = false;
    }
    return m_ipv6;
}

std::int64_t SteadyMilliseconds()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace pellwick
