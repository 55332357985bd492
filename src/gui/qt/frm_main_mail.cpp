#include "gui/qt/frm_main.h"

#include "core/mail/ip_token.h"
#include "gui/qt/qt_text.h"
#include "gui/qt/text_lines.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

namespace pellwick {

namespace {

constexpr const char *kMailer = "Pellwick v1.0";

// The debug log shows line breaks as the widget's own; CRLF and lone CR or LF
// each make one.
QString forDisplay(const std::string &text)
{
    QString shown = toQ(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

} // namespace

void frmMain::SendEmail()
{
    const std::string server = fromQ(txtSmtpServer->text());
    const std::string recipient = fromQ(txtRecipient->text());
    const std::string body = InsertIPAddress(PlainTextWithCrLf(*txtMsg));
    const std::string sender = fromQ(txtSender->text());
    const std::string subject = InsertIPAddress(fromQ(txtSubject->text()));
    m_smtp.ConnectToServer(server, recipient, body, sender, subject, kMailer);
}

std::string frmMain::InsertIPAddress(const std::string &text)
{
    return ReplaceIpToken(text, m_parts.localIp());
}

void frmMain::txtMsg_GotFocus()
{
    btnInsertIP->setEnabled(true);
    g_blnMsgFocus = true;
}

void frmMain::txtSubject_GotFocus()
{
    btnInsertIP->setEnabled(true);
    g_blnMsgFocus = false;
}

void frmMain::btnInsertIP_Click()
{
    if (g_blnMsgFocus) {
        const QTextCursor cursor = txtMsg->textCursor();
        const auto caret = static_cast<std::size_t>(cursor.selectionStart());
        const std::u16string selected = cursor.selectedText()
                                            .replace(QChar::ParagraphSeparator, QLatin1Char('\n'))
                                            .toStdU16String();
        const std::u16string text = txtMsg->toPlainText().toStdU16String();
        txtMsg->setPlainText(QString::fromStdU16String(InsertTokenAtCaret(text, caret, selected)));
    } else {
        const auto caret = static_cast<std::size_t>(txtSubject->hasSelectedText()
                                                        ? txtSubject->selectionStart()
                                                        : txtSubject->cursorPosition());
        const std::u16string selected = txtSubject->selectedText().toStdU16String();
        const std::u16string text = txtSubject->text().toStdU16String();
        txtSubject->setText(QString::fromStdU16String(InsertTokenAtCaret(text, caret, selected)));
    }
}

void frmMain::wckMain_DataArrival(std::int32_t count)
{
    m_smtp.HandleServerReply(count);
}

void frmMain::AppendToDebugLog(const std::string &text)
{
    // Insert at the end only: the cost of an append does not grow with the log.
    QTextCursor end(txtDebug->document());
    end.movePosition(QTextCursor::End);
    end.insertText(forDisplay(text));
}

} // namespace pellwick
