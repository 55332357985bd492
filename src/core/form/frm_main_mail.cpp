#include "core/form/form_view.h"
#include "core/form/frm_main.h"
#include "core/mail/ip_token.h"

namespace pellwick {

namespace {

constexpr const char *kMailer = "Pellwick v1.0";

} // namespace

void frmMain::SendEmail()
{
    m_smtp.ConnectToServer(m_view.Text(Control::txtSmtpServer), m_view.Text(Control::txtRecipient),
                           InsertIPAddress(m_view.Text(Control::txtMsg)),
                           m_view.Text(Control::txtSender),
                           InsertIPAddress(m_view.Text(Control::txtSubject)), kMailer);
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
