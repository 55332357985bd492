// SPDX-License-Identifier: MIT
#include "core/mail/debug_log_limit.h"
#include "core/mail/ip_token.h"
#include "core/mail/message.h"
#include "core/mail/submission.h"
#include "core/window/main_window.h"
#include "core/window/window_view.h"

namespace pellwick {

void StartMail(Smtp &smtp, const std::function<std::string(Control)> &field,
               const std::string &localIp, const Settings &settings, const std::string &server,
               PasswordStore *passwordStore, const std::optional<PasswordLookup> &passwordFile)
{
    const SubmissionSettings stored = SubmissionSettings::From(settings);
    smtp.ConnectToServer(field(Control::SmtpServer), field(Control::Recipient),
                         ReplaceIpToken(field(Control::Message), localIp), field(Control::Sender),
                         ReplaceIpToken(field(Control::Subject), localIp),
                         "Pellwick v" PELLWICK_VERSION,
                         SubmissionFromSettings(stored.port, stored.security, stored.user,
                                                stored.pin, server, passwordStore, passwordFile));
}

void MainWindow::SendEmail(MailKind kind)
{
    m_retry.Started(kind);
    // The password is keyed by the server as it is connected to.
    StartMail(
        m_smtp, [this](Control c) { return m_view.Text(c); }, localIp(), m_settings,
        TrimSpaces(RemoveLineBreaks(m_view.Text(Control::SmtpServer))), m_parts.passwordStore,
        m_parts.passwordFile);
}

void MainWindow::OpenServerDialog()
{
    if (!m_parts.serverDialog)
        return;
    const auto result = m_parts.serverDialog->Edit(SubmissionSettings::From(m_settings),
                                                   m_smtp.LastOutcome().peerFingerprint);
    if (!result)
        return;
    result->settings.StoreIn(m_settings);
    if (!result->password)
        return;
    // The password goes to the secret store only, never to the settings.
    const std::string server = TrimSpaces(RemoveLineBreaks(m_view.Text(Control::SmtpServer)));
    const std::string problem
        = m_parts.passwordStore
              ? m_parts.passwordStore->Store(server, result->settings.user, *result->password)
              : std::string("no secret store");
    if (!problem.empty())
        AppendToDebugLog("Could not keep the password: " + problem + "\r\n");
}

void MainWindow::InsertIpToken()
{
    const Control field = m_messageHadFocus ? Control::Message : Control::Subject;
    const TextSelection selection = m_view.Selection(field);
    m_view.SetText(field,
                   InsertTokenAtCaret(m_view.Text(field), selection.start, selection.length));
}

void MainWindow::DataArrived(std::int32_t count)
{
    if (!m_exiting)
        m_smtp.HandleServerReply(count);
}

void MainWindow::AppendToDebugLog(const std::string &text)
{
    // The log keeps its newest text only; the view drops the same lines.
    const std::string dropped = AppendToBoundedLog(m_debugLog, text);
    m_view.AppendText(Control::DebugText, text);
    if (!dropped.empty())
        m_view.DropLeadingText(Control::DebugText, dropped);
}

void MainWindow::DialogueEnded(const DialogueOutcome &outcome)
{
    const bool notify = m_retry.Ended(outcome, m_parts.steadyMs());
    showRetryCaption();
    if (notify && IsChecked(Control::NotifyOnFailure)) {
        std::string text = outcome.cause;
        if (const auto remaining = m_retry.Remaining(m_parts.steadyMs()))
            text += "\n" + RetryCaption(*remaining) + ".";
        m_parts.notifyArea.ShowMessage("Pellwick: the email was not sent", text);
    }
}

void MainWindow::retryIfDue()
{
    if (!m_retry.Pending())
        return;
    if (m_retry.Due(m_parts.steadyMs()))
        SendEmail(MailKind::Automatic);
    else
        showRetryCaption();
}

void MainWindow::showRetryCaption()
{
    if (const auto remaining = m_retry.Remaining(m_parts.steadyMs()))
        UpdateCaption(RetryCaption(*remaining));
}

} // namespace pellwick
