// SPDX-License-Identifier: MIT
#include "core/app/schedule.h"
#include "core/window/main_window.h"
#include "core/window/window_description.h"
#include "core/window/window_view.h"

#include <utility>

namespace pellwick {

namespace {

// With address changes told as they happen, the tick still reads the address
// once a minute.
constexpr int kIpSafetyNetTicks = 12;

} // namespace

void MainWindow::Tick()
{
    if (m_refusalTicks > 0 && --m_refusalTicks == 0)
        ExitApp();
    if (!m_loaded || m_exiting)
        return;
    // Only the About tab shows fresh figures at every tick. While the window is
    // hidden or minimised they are read when something that shows them is built.
    if (windowOnScreen())
        refreshMemory();
    else
        m_memoryStale = true;

    // Told of every change, the tick reads the address only now and then, in
    // case a notice was lost.
    if (!m_parts.addressWatched || ++m_ticksSinceIpRead >= kIpSafetyNetTicks)
        m_localIpStale = m_ipv6Stale = true;
    followTemplate();
    followAddress();

    const ScheduleStep step = ScheduleTick(m_countdown, IsChecked(Control::TimerSend));
    m_countdown = step.countdown;
    if (step.send) {
        SendEmail();
        ApplyTimerSettings();
    }
    retryIfDue();
}

void MainWindow::AddressChanged()
{
    if (!m_loaded || m_exiting)
        return;
    m_localIpStale = m_ipv6Stale = true;
    // Another network may have another router.
    if (m_publicIp)
        m_publicIp->NetworkChanged();
    // The network has moved: a mail waiting for its retry goes now, unless the
    // move's own mail just went (or just failed).
    if (!followAddress() && m_retry.Remaining(m_parts.steadyMs()))
        SendEmail();
}

bool MainWindow::followAddress()
{
    if (m_localIpStale)
        m_ticksSinceIpRead = 0;
    // Only a template that uses the IPv6 address has it read; a move of it, to
    // an address known, is mailed like one of the local IP.
    const bool ipv6Moved = templateUsesIpv6() && ipv6() && ipv6() != m_lastIpv6;
    if (ipv6Moved)
        m_lastIpv6 = ipv6();
    const bool ipMoved = localIp() != m_lastIp;
    if (ipMoved) {
        m_lastIp = localIp();
        UpdateCaption("");
        UpdateTrayTip();
        // Another network may have another router.
        if (m_publicIp && !m_publicIp->Settling())
            m_publicIp->NetworkChanged();
    }
    m_moveOwed = m_moveOwed || ipMoved || ipv6Moved;
    if (usesPublicIp() && m_publicIp) {
        // The local move and the public one it brings go in one mail.
        if (m_publicIp->Settling())
            return false;
        const std::string publicIp = m_publicIp->Address();
        if (!publicIp.empty() && m_lastPublicIp != publicIp) {
            // Learning the address for the first time is no move.
            m_moveOwed = m_moveOwed || m_lastPublicIp.has_value();
            m_lastPublicIp = publicIp;
        }
    }
    showAddresses();
    if (!std::exchange(m_moveOwed, false) || !IsChecked(Control::EmailOnNewIp))
        return false;
    SendEmail();
    return true;
}

void MainWindow::showAddresses()
{
    std::string text = std::string(kLocalIpLine) + localIp();
    if (m_publicIp && !m_publicIp->Address().empty())
        text += "\n" + std::string(kPublicIpLine) + m_publicIp->Address();
    if (text != std::exchange(m_addressesShown, text))
        m_view.SetText(Control::KnownAddresses, text);
}

bool MainWindow::usesPublicIp() const
{
    return m_view.Text(Control::Subject).find(kPublicIpToken) != std::string::npos
           || m_view.Text(Control::Message).find(kPublicIpToken) != std::string::npos;
}

std::optional<std::string> MainWindow::publicIp() const
{
    if (!m_publicIp || m_publicIp->Address().empty())
        return std::nullopt;
    return m_publicIp->Address();
}

void MainWindow::followTemplate()
{
    if (!m_publicIp)
        return;
    m_publicIp->Configure(static_cast<PublicAddressSource>(publicAddressSource()),
                          m_view.Text(Control::StunServer));
    m_publicIp->SetWanted(usesPublicIp());
}

void MainWindow::publicAddressSettled()
{
    if (m_exiting)
        return;
    // A mail that waited for the address, or whose retry waits for it, goes now.
    const bool owed = std::exchange(m_mailAwaitsAddress, false)
                      || (m_retry.Remaining(m_parts.steadyMs()) && !m_publicIp->Address().empty());
    const bool mailed = m_loaded && followAddress();
    if (owed && !mailed)
        SendEmail();
}

void MainWindow::ApplyTimerSettings()
{
    const std::string rateText = m_view.Text(Control::TimerRate);
    const TimerSettingsResult result = pellwick::ApplyTimerSettings(
        TimerFields {IsChecked(Control::TimerSend), rateText, m_view.ListIndex(Control::TimerUnit),
                     m_view.Text(Control::TimerUnit)});
    if (rateText != result.rateText)
        m_view.SetText(Control::TimerRate, result.rateText);
    m_view.SetEnabled(Control::TimerUnit, result.fieldsEnabled);
    m_view.SetEnabled(Control::TimerRate, result.fieldsEnabled);
    if (result.countdown)
        m_countdown = *result.countdown;
}

} // namespace pellwick
