#include "core/form/form_view.h"
#include "core/form/frm_main.h"
#include "core/mail/ip_token.h"
#include "core/mail/message.h"
#include "core/mail/submission.h"

namespace pellwick {

namespace {

constexpr const char *kMailer = "Pellwick v1.0";

} // namespace

void frmMain::SendEmail()
{
    const std::string server = m_view.Text(Control::txtSmtpServer);
    // The password is keyed by the server as it is connected to.
    Submission submission = SubmissionFromSettings(
        m_submission.port, m_submission.security, m_submission.user, m_submission.pin,
        TrimSpaces(RemoveLineBreaks(server)), m_parts.passwordStore, m_parts.passwordFile);
    m_smtp.ConnectToServer(
        server, m_view.Text(Control::txtRecipient), InsertIPAddress(m_view.Text(Control::txtMsg)),
        m_view.Text(Control::txtSender), InsertIPAddress(m_view.Text(Control::txtSubject)), kMailer,
        std::move(submission));
}

void frmMain::btnServer_Click()
{
    if (!m_parts.serverDialog)
        return;
    const auto result
        = m_parts.serverDialog->Edit(m_submission, m_smtp.LastOutcome().peerFingerprint);
    if (!result)
        return;
    m_submission = result->settings;
    if (!result->password)
        return;
    // The password goes to the secret store only, never to the settings.
    const std::string server = TrimSpaces(RemoveLineBreaks(m_view.Text(Control::txtSmtpServer)));
    const std::string problem
        = m_parts.passwordStore
              ? m_parts.passwordStore->Store(server, m_submission.user, *result->password)
              : std::string("no secret store");
    if (!problem.empty())
        AppendToDebugLog("Could not keep the password: " + problem + "\r\n");
}

std::string frmMain::InsertIPAddress(const std::string &text) const
{
    return ReplaceIpToken(text, m_parts.localIp());
}

void frmMain::txtMsg_GotFocus()
{
    m_view.SetEnabled(Control::btnInsertIP, true);
    g_blnMsgFocus = true;
}

void frmMain::txtSubject_GotFocus()
{
    m_view.SetEnabled(Control::btnInsertIP, true);
    g_blnMsgFocus = false;
}

void frmMain::btnInsertIP_Click()
{
    const Control field = g_blnMsgFocus ? Control::txtMsg : Control::txtSubject;
    const TextSelection selection = m_view.Selection(field);
    m_view.SetText(field,
                   InsertTokenAtCaret(m_view.Text(field), selection.start, selection.length));
}

void frmMain::wckMain_DataArrival(std::int32_t count)
{
    if (!m_exiting)
        m_smtp.HandleServerReply(count);
}

void frmMain::AppendToDebugLog(const std::string &text)
{
    m_view.AppendText(Control::txtDebug, text);
}

} // namespace pellwick
