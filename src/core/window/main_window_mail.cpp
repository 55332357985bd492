// SPDX-License-Identifier: MIT
#include "core/mail/address.h"
#include "core/mail/debug_log_limit.h"
#include "core/mail/ip_token.h"
#include "core/mail/message.h"
#include "core/mail/submission.h"
#include "core/tray/notify_area.h"
#include "core/window/main_window.h"
#include "core/window/send_now.h"
#include "core/window/window_view.h"

#include <tuple>

namespace pellwick {

namespace {

constexpr const char *kNotSentTitle = "Pellwick: the email was not sent";
constexpr const char *kSentTitle = "Pellwick: the email was sent";
constexpr const char *kIpv6Unknown = "The IPv6 address is not known yet.";
constexpr const char *kPublicIpUnknown = "The public address is not known yet.";

bool templateUses(const std::function<std::string(Control)> &field, const char *token)
{
    return field(Control::Subject).find(token) != std::string::npos
           || field(Control::Message).find(token) != std::string::npos;
}

} // namespace

std::string MailFieldsProblem(const std::function<std::string(Control)> &field,
                              const std::string &server)
{
    if (server.empty())
        return "No SMTP server is set.";
    std::string problem = SenderProblem(field(Control::Sender));
    return problem.empty() ? RecipientsProblem(field(Control::Recipient)) : problem;
}

MailTokens TokensFor(const std::function<std::string(Control)> &field, const std::string &localIp,
                     const std::function<std::optional<std::string>()> &ipv6,
                     const std::function<std::optional<std::string>()> &publicIp)
{
    MailTokens tokens {{{kIpToken, localIp}}, {}};
    using Read = std::function<std::optional<std::string>()>;
    for (const auto &[token, read, unknown] :
         {std::tuple<const char *, const Read &, const char *> {kIpv6Token, ipv6, kIpv6Unknown},
          std::tuple<const char *, const Read &, const char *> {kPublicIpToken, publicIp,
                                                                kPublicIpUnknown}}) {
        if (!templateUses(field, token))
            continue;
        const std::optional<std::string> address = read ? read() : std::nullopt;
        tokens.values.emplace_back(token, address.value_or("unknown"));
        if (!address)
            tokens.unknown += (tokens.unknown.empty() ? "" : " ") + std::string(unknown);
    }
    return tokens;
}

void StartMail(Smtp &smtp, const std::function<std::string(Control)> &field,
               const TokenValues &values, const Settings &settings, const std::string &server,
               PasswordStore *passwordStore, const std::optional<PasswordLookup> &passwordFile)
{
    const SubmissionSettings stored = SubmissionSettings::From(settings);
    smtp.ConnectToServer(field(Control::SmtpServer), field(Control::Recipient),
                         ReplaceTokens(field(Control::Message), values), field(Control::Sender),
                         ReplaceTokens(field(Control::Subject), values),
                         "Pellwick v" PELLWICK_VERSION,
                         SubmissionFromSettings(stored.port, stored.security, stored.user,
                                                stored.pin, server, passwordStore, passwordFile));
}

void MainWindow::SendEmail(MailKind kind)
{
    // Defaults standing in for settings that could not be read mail nobody.
    if (kind == MailKind::Automatic && !m_unreadable.empty())
        return;
    const auto field = [this](Control c) {
        return m_view.Text(c);
    };
    // The password is keyed by the server as it is connected to.
    const std::string server = TrimSpaces(RemoveLineBreaks(m_view.Text(Control::SmtpServer)));
    if (const std::string problem = MailFieldsProblem(field, server); !problem.empty()) {
        mailNotStarted(kind, problem);
        return;
    }
    // An automatic mail waits for the public address's first answer.
    if (kind == MailKind::Automatic && usesPublicIp() && m_publicIp && m_publicIp->Settling()) {
        m_mailAwaitsAddress = true;
        return;
    }
    const MailTokens tokens = TokensFor(
        field, localIp(), [this] { return ipv6(); }, [this] { return publicIp(); });
    m_retry.Started(kind);
    m_mailTo = m_view.Text(Control::Recipient);
    if (!tokens.unknown.empty() && kind == MailKind::Automatic) {
        // Tried again on the retry's timetable, or at once when an address moves.
        AppendToDebugLog(tokens.unknown + "\r\n");
        SmtpListener &listener = *this;
        listener.DialogueEnded({DeliveryResult::PassingFailure, tokens.unknown, {}});
        listener.CheckAutoExit();
        return;
    }
    if (!tokens.unknown.empty())
        AppendToDebugLog(tokens.unknown + " \"unknown\" stands in its place.\r\n");
    StartMail(m_smtp, field, tokens.values, m_settings, server, m_parts.passwordStore,
              m_parts.passwordFile);
}

bool MainWindow::templateUsesIpv6() const
{
    return templateUses([this](Control c) { return m_view.Text(c); }, kIpv6Token);
}

void MainWindow::mailNotStarted(MailKind kind, const std::string &problem)
{
    AppendToDebugLog(problem + "\r\n");
    m_lastMail = FormatMailDate(m_parts.clock()) + ", not sent: " + problem;
    m_parts.lines.Write(LinePriority::Failure, kNotSentTitle, problem);
    if (m_parts.notifyArea.Available() && IsChecked(Control::NotifyOnFailure))
        m_parts.notifyArea.ShowMessage(kNotSentTitle, problem);
    if (kind == MailKind::Automatic) {
        m_exitStatus = SendNow::kConfig;
        CheckAutoExit();
    }
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

void MainWindow::InsertToken(const char *token)
{
    const Control field = m_messageHadFocus ? Control::Message : Control::Subject;
    const TextSelection selection = m_view.Selection(field);
    m_view.SetText(
        field, InsertTokenAtCaret(m_view.Text(field), selection.start, selection.length, token));
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
    const bool delivered = outcome.result == DeliveryResult::Delivered;
    m_lastMail = FormatMailDate(m_parts.clock()) + ", to " + m_mailTo
                 + (delivered ? ", delivered: " : ", not delivered: ") + outcome.cause;
    m_exitStatus = outcome.result == DeliveryResult::RefusedForGood ? SendNow::kUnavailable : 0;
    std::string text = outcome.cause;
    const auto remaining = m_retry.Remaining(m_parts.steadyMs());
    if (remaining)
        text += "\n" + RetryCaption(*remaining) + ".";
    // Without a notification area every outcome is a line, for the journal;
    // a balloon tells only what the user must know.
    if (!m_parts.notifyArea.Available())
        m_parts.lines.Write(delivered   ? LinePriority::Info
                            : remaining ? LinePriority::Warning
                                        : LinePriority::Failure,
                            delivered ? kSentTitle : kNotSentTitle, text);
    else if (notify && IsChecked(Control::NotifyOnFailure))
        m_parts.notifyArea.ShowMessage(kNotSentTitle, text);
}

std::string MainWindow::StatusText() const
{
    const auto seconds = [](std::int64_t ms) {
        return std::to_string(ms <= 0 ? 0 : (ms + 999) / 1000) + " s";
    };
    std::string next = "none scheduled";
    if (const auto remaining = m_retry.Remaining(m_parts.steadyMs()))
        next = "a retry of the last one in " + seconds(*remaining);
    else if (IsChecked(Control::TimerSend))
        next = "scheduled in " + seconds(m_countdown);
    if (IsChecked(Control::EmailOnNewIp))
        next += ", and one at every change of the address";
    return "Address: " + localIp() + "\nLast mail: "
           + (m_lastMail.empty() ? std::string("none since the start") : m_lastMail)
           + "\nNext mail: " + next + "\n";
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
