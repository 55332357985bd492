// The settings window's controls as they are laid out, before any behaviour.
#include "gui/qt/main_window_controls.h"
#include "gui/qt/text_lines.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTextCursor>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using pellwick::MainWindowControls;

namespace {

struct Control
{
    QWidget *widget;
    const char *name;
    const char *kind;
    QString caption;
    QString toolTip;
    bool enabled = true;
};

QString Caption(const QWidget *widget)
{
    if (auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    if (auto *button = qobject_cast<const QAbstractButton *>(widget))
        return button->text();
    if (auto *frame = qobject_cast<const QGroupBox *>(widget))
        return frame->title();
    if (auto *edit = qobject_cast<const QLineEdit *>(widget))
        return edit->text();
    if (auto *text = qobject_cast<const QPlainTextEdit *>(widget))
        return text->toPlainText();
    if (auto *combo = qobject_cast<const QComboBox *>(widget))
        return combo->currentText();
    return {};
}

std::vector<Control> AllControls(const MainWindowControls &w)
{
    const QString none;
    return {
        {w.lblSmtpServer, "lblSmtpServer", "QLabel", "Mail (SMTP) Server: (mail.example.com)",
         none},
        {w.txtSmtpServer, "txtSmtpServer", "QLineEdit", "",
         "The name of you Internet Mail Server Used for Sending Files"},
        {w.lblTo, "lblTo", "QLabel", "To: (me@example.com;you@example.org)", none},
        {w.txtRecipient, "txtRecipient", "QLineEdit", "", "Who do you want the message sent to?"},
        {w.lblSender, "lblSender", "QLabel", "From: (me@example.com)", none},
        {w.txtSender, "txtSender", "QLineEdit", "", "Who is the message from?"},
        {w.btnSendEmail, "btnSendEmail", "QPushButton", "Send Email Right Now!",
         "Send an Email Right Now!"},
        {w.frmTip, "frmTip", "QGroupBox", "Tip!", none},
        {w.lblTip, "lblTip", "QLabel", "You can also use Pellwick to fire off any quick emails!",
         none},
        {w.lblSubject, "lblSubject", "QLabel", "Subject: (Your New IP Address Is)", none},
        {w.txtSubject, "txtSubject", "QLineEdit", "", "Subject of the Email Message"},
        {w.lblMsg, "lblMsg", "QLabel", "Message: (Enter Your Email Message Here)", none},
        {w.txtMsg, "txtMsg", "QPlainTextEdit", "",
         "Email Message to Be Sent.  Click on the Button Below to Add Your IP Address to the "
         "Email Body."},
        {w.btnInsertIP, "btnInsertIP", "QPushButton", "Click to Insert IP Address",
         "Click here to insert your IP Address into the Email Subject or Body", false},
        {w.frmWhenToEmai, "frmWhenToEmai", "QGroupBox", "Email Options at Startup", none},
        {w.chkEmailIPOnStartup, "chkEmailIPOnStartup", "QCheckBox", "Run IP Every Time You Login",
         "This will automatically send an email everytime the user logs in."},
        {w.chkAutoMail, "chkAutoMail", "QCheckBox", "Auto Email IP On Program Startup",
         "This will send an email everytime the Pellwick Application is loaded."},
        {w.chkAutoEmailOnNewIP, "chkAutoEmailOnNewIP", "QCheckBox",
         "Auto Email On When New IP Detected",
         "This will automatically send an email everytime a new IP is detected"},
        {w.chkAutoExit, "chkAutoExit", "QCheckBox", "Auto Exit After Login Run",
         "This will automatically close the Pellwick application every time an email is sent.  "
         "This will only work when emailing after initial startup run.",
         false},
        {w.chkMinimized, "chkMinimized", "QCheckBox", "Start Pellwick Minimized",
         "This will start the Pellwick application minimized"},
        {w.frmDisplayTrayIcon, "frmDisplayTrayIcon", "QGroupBox", "Displaying the Tray Icon", none},
        {w.chkDisplayIcon, "chkDisplayIcon", "QCheckBox", "Display Tray Icon",
         "This will Show/Hide the Tray Icon."},
        {w.chkShowIP, "chkShowIP", "QCheckBox", "Show IP in Tray Icon",
         "This will display your IP Address in the Tray Icon Text"},
        {w.chkShowVirtualMem, "chkShowVirtualMem", "QCheckBox", "Show Virtual Mem in Tray Icon",
         "This will display your Virtual Memory Free in your Tray Icon Text"},
        {w.chkShowPhyMem, "chkShowPhyMem", "QCheckBox", "Show Physical Mem in Tray Icon",
         "This will Display your physical memory free in your Tray Icon text"},
        {w.frmSendEmail, "frmSendEmail", "QGroupBox", "Sending Email at a Fixed Rate", none},
        {w.chkTimerSend, "chkTimerSend", "QCheckBox", "Send an Email Every", none},
        {w.txtTimerRate, "txtTimerRate", "QLineEdit", "30", none},
        {w.cmbTimerRate, "cmbTimerRate", "QComboBox", "Seconds", none},
        {w.Frame1, "Frame1", "QGroupBox", "ClipBoard", none},
        {w.chkCopyToClipOnStartup, "chkCopyToClipOnStartup", "QCheckBox",
         "Automatically Copy Your IP To the Clipboard on Pellwick Startup", none},
        {w.btnCopyIPToClip, "btnCopyIPToClip", "QPushButton", "Copy IP To ClipBoard Now", none},
        {w.frmPellwickSettings, "frmPellwickSettings", "QGroupBox", "Pellwick Settings", none},
        {w.chkShowDebug, "chkShowDebug", "QCheckBox", "Show Debug Tab Dialog",
         "Show/Hide the Debug Tab"},
        {w.shpAbout, "shpAbout", "QFrame", "", none},
        {w.lblAboutTitle, "lblAboutTitle", "QLabel", "Pellwick v1.0!", none},
        {w.lblAboutAuthor, "lblAboutAuthor", "QLabel", "By:  The Pellwick developers", none},
        {w.lblAboutEmail, "lblAboutEmail", "QLabel", "Email:  pellwick@example.org", none},
        {w.Image1, "Image1", "QLabel", "", none},
        {w.lblFreePhysMemory, "lblFreePhysMemory", "QLabel", "Physical Memory", none},
        {w.lblVirtMem, "lblVirtMem", "QLabel", "Virtual Memory", none},
        {w.txtDebug, "txtDebug", "QPlainTextEdit", "", none},
    };
}

// Lays out every tab as if the user had opened it.
void ShowEveryTab(MainWindowControls &w)
{
    w.show();
    for (int i = w.tabMain->count() - 1; i >= 0; --i) {
        w.tabMain->setCurrentIndex(i);
        QApplication::processEvents();
    }
}

// Whether the widget shows its whole text at its present size.
bool TextFits(const QWidget *widget)
{
    if (auto *label = qobject_cast<const QLabel *>(widget); label && label->wordWrap())
        return label->heightForWidth(label->width()) <= label->height();
    const QSize needed
        = qobject_cast<const QGroupBox *>(widget) ? widget->minimumSizeHint() : widget->sizeHint();
    return needed.width() <= widget->width() && needed.height() <= widget->height();
}

} // namespace

TEST(MainWindowControls, EveryControlHasItsNameKindCaptionTooltipAndFirstState)
{
    MainWindowControls w;
    for (const Control &c : AllControls(w)) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(c.widget, nullptr);
        EXPECT_EQ(w.findChild<QWidget *>(QLatin1String(c.name)), c.widget);
        EXPECT_STREQ(c.widget->metaObject()->className(), c.kind);
        EXPECT_EQ(Caption(c.widget), c.caption);
        EXPECT_EQ(c.widget->toolTip(), c.toolTip);
        EXPECT_EQ(c.widget->isEnabled(), c.enabled);
        if (auto *box = qobject_cast<QCheckBox *>(c.widget)) {
            EXPECT_FALSE(box->isChecked());
        }
    }
    EXPECT_EQ(w.windowTitle(), "Pellwick");
    EXPECT_FALSE(w.windowIcon().isNull());

    EXPECT_TRUE(w.cmbTimerRate->isEditable());
    EXPECT_EQ(w.cmbTimerRate->insertPolicy(), QComboBox::NoInsert);
    ASSERT_EQ(w.cmbTimerRate->count(), 3);
    EXPECT_EQ(w.cmbTimerRate->itemText(1), "Minutes");
    EXPECT_EQ(w.cmbTimerRate->itemText(2), "Hours");
    EXPECT_EQ(w.cmbTimerRate->currentIndex(), 0);

    EXPECT_TRUE(w.txtDebug->isReadOnly());
    EXPECT_EQ(w.txtDebug->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(w.txtDebug->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_FALSE(w.txtDebug->isUndoRedoEnabled());
    EXPECT_EQ(w.shpAbout->frameShape(), QFrame::Box);
    EXPECT_FALSE(w.Image1->pixmap().isNull());
    EXPECT_EQ(w.Image1->size(), QSize(136, 119));
}

TEST(MainWindowControls, FiveTabsInOrderWithEmailCurrent)
{
    MainWindowControls w;
    const std::vector<QString> titles {"Email", "Settings", "Misc", "About", "Debug"};
    ASSERT_EQ(w.tabMain->count(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(w.tabMain->tabText(i), titles[static_cast<std::size_t>(i)]);
        EXPECT_TRUE(w.tabMain->isTabVisible(i));
    }
    EXPECT_EQ(MainWindowControls::kTabDebug, 4);
    EXPECT_EQ(w.tabMain->widget(4), w.txtDebug->parentWidget());
    EXPECT_EQ(w.tabMain->currentIndex(), 0);
    // Each control sits on its own tab.
    EXPECT_TRUE(w.tabMain->widget(0)->isAncestorOf(w.btnInsertIP));
    EXPECT_TRUE(w.tabMain->widget(1)->isAncestorOf(w.cmbTimerRate));
    EXPECT_TRUE(w.tabMain->widget(2)->isAncestorOf(w.chkShowDebug));
    EXPECT_TRUE(w.tabMain->widget(3)->isAncestorOf(w.Image1));
}

TEST(MainWindowControls, TabKeyVisitsTheControlsInTheirOrder)
{
    MainWindowControls w;
    std::set<QString> named;
    for (const Control &c : AllControls(w))
        named.insert(QLatin1String(c.name));

    std::vector<std::string> visited;
    for (QWidget *next = w.tabMain->nextInFocusChain(); next != w.tabMain;
         next = next->nextInFocusChain()) {
        if (named.count(next->objectName()) && (next->focusPolicy() & Qt::TabFocus))
            visited.push_back(next->objectName().toStdString());
    }
    const std::vector<std::string> expected {"txtSmtpServer",
                                             "txtRecipient",
                                             "txtSender",
                                             "txtSubject",
                                             "txtMsg",
                                             "btnSendEmail",
                                             "btnInsertIP",
                                             "chkEmailIPOnStartup",
                                             "chkAutoMail",
                                             "chkAutoEmailOnNewIP",
                                             "chkAutoExit",
                                             "chkMinimized",
                                             "chkDisplayIcon",
                                             "chkShowIP",
                                             "chkShowVirtualMem",
                                             "chkShowPhyMem",
                                             "chkTimerSend",
                                             "cmbTimerRate",
                                             "txtTimerRate",
                                             "btnCopyIPToClip",
                                             "chkCopyToClipOnStartup",
                                             "chkShowDebug",
                                             "txtDebug"};
    EXPECT_EQ(visited, expected);
    // Tab leaves the message field instead of typing a tab into it.
    EXPECT_TRUE(w.txtMsg->tabChangesFocus());
}

TEST(MainWindowControls, AboutFontsAndDefaultFontElsewhere)
{
    MainWindowControls w;
    EXPECT_EQ(w.lblAboutTitle->font().family(), "Arial");
    EXPECT_DOUBLE_EQ(w.lblAboutTitle->font().pointSizeF(), 14.25);
    EXPECT_TRUE(w.lblAboutTitle->font().bold());
    for (const QLabel *label : {w.lblAboutAuthor, w.lblAboutEmail}) {
        EXPECT_EQ(label->font().family(), "Arial");
        EXPECT_DOUBLE_EQ(label->font().pointSizeF(), 12.0);
        EXPECT_FALSE(label->font().bold());
    }
    EXPECT_EQ(w.lblFreePhysMemory->font(), w.font());
    EXPECT_EQ(w.lblSubject->font(), w.font());
}

TEST(MainWindowControls, FixedClientSizeShowsEveryCaptionWhole)
{
    MainWindowControls w;
    ShowEveryTab(w);
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_EQ(w.size(), w.minimumSize());
    EXPECT_GE(w.width(), 488);
    EXPECT_GE(w.height(), 309);

    for (const Control &c : AllControls(w)) {
        SCOPED_TRACE(c.name);
        const bool field
            = qobject_cast<QLineEdit *>(c.widget) || qobject_cast<QPlainTextEdit *>(c.widget);
        if (!field && !c.caption.isEmpty()) {
            EXPECT_TRUE(TextFits(c.widget));
        }
    }
    const QTabBar *tabs = w.tabMain->tabBar();
    for (int i = 0; i < tabs->count(); ++i) {
        EXPECT_LT(tabs->fontMetrics().horizontalAdvance(tabs->tabText(i)),
                  tabs->tabRect(i).width());
        EXPECT_LE(tabs->tabRect(i).right(), tabs->width());
    }

    // The longest About lines the memory figures can make still fit.
    w.tabMain->setCurrentIndex(MainWindowControls::kTabAbout);
    w.lblFreePhysMemory->setText("%100 Physical Mem Available. (18446744073709552KB of "
                                 "18446744073709552KB)");
    w.lblVirtMem->setText("%100 Virtual Mem Available. (18446744073709552KB of "
                          "18446744073709552KB)");
    QApplication::processEvents();
    EXPECT_TRUE(TextFits(w.lblFreePhysMemory));
    EXPECT_TRUE(TextFits(w.lblVirtMem));
}

TEST(TextLines, MessageTextComesOutWithCrLfWhateverTheWidgetKeeps)
{
    QPlainTextEdit edit;
    pellwick::SetPlainTextFromCrLf(edit, "one\r\ntwo\rthree\nfour\r\n");
    EXPECT_EQ(edit.document()->blockCount(), 5);
    EXPECT_EQ(pellwick::PlainTextWithCrLf(edit), "one\r\ntwo\r\nthree\r\nfour\r\n");

    // A soft line break (Shift+Enter) is a line break in the mail too.
    pellwick::SetPlainTextFromCrLf(edit, "caf\xc3\xa9");
    QTextCursor cursor(edit.document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QString(QChar::LineSeparator) + "[IPADDRESS]");
    EXPECT_EQ(pellwick::PlainTextWithCrLf(edit), "caf\xc3\xa9\r\n[IPADDRESS]");

    pellwick::SetPlainTextFromCrLf(edit, "");
    EXPECT_EQ(pellwick::PlainTextWithCrLf(edit), "");
}
