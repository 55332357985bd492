// The Qt shell's contract: its widgets carry the controls' names, texts and
// focus order, and what the user does reaches frmMain (which the core's own
// tests cover in full).
#include "support/memory_registry.h"

#include "core/settings/autostart.h"
#include "gui/qt/pellwick_icon.h"
#include "gui/qt/qt_main_window.h"
#include "gui/qt/qt_notify_area.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextCursor>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

using namespace pellwick;

namespace {

struct NoAutostart : Autostart
{
    void Register() override { }
    void Unregister() override { }
};

struct Shell
{
    test::MemoryRegistry hive;
    Registry registry {hive};
    NoAutostart autostart;
    QtNotifyArea area {PellwickIcon()};
    int ends = 0;
    QtMainWindow window {QtWindowParts {
        .registry = registry,
        .autostart = autostart,
        .notifyArea = area,
        .localIp = [] { return std::string("192.0.2.9"); },
        .memoryReader = [] { return MemStatus {}; },
        .clock = [] { return LocalTime {}; },
        .commandLine = "",
        .endProcess = [this](int) { ++ends; },
    }};
    Shell() { window.Form().Form_Load(); }
};

QString Caption(const QWidget *widget)
{
    if (auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    if (auto *button = qobject_cast<const QAbstractButton *>(widget))
        return button->text();
    if (auto *frame = qobject_cast<const QGroupBox *>(widget))
        return frame->title();
    if (auto *combo = qobject_cast<const QComboBox *>(widget))
        return combo->currentText();
    return {};
}

struct Row
{
    Control control;
    const char *kind;
    const char *caption;
    const char *toolTip;
    int focus; // place in the Tab order, 0 for none
};

// clang-format off
const std::vector<Row> kControls {
    {Control::tabMain, "QTabWidget", "", "", 0},
    {Control::lblSmtpServer, "QLabel", "Mail (SMTP) Server: (mail.example.com)", "", 0},
    {Control::txtSmtpServer, "QLineEdit", "", "The name of you Internet Mail Server Used for Sending Files", 1},
    {Control::lblTo, "QLabel", "To: (me@example.com;you@example.org)", "", 0},
    {Control::txtRecipient, "QLineEdit", "", "Who do you want the message sent to?", 2},
    {Control::lblSender, "QLabel", "From: (me@example.com)", "", 0},
    {Control::txtSender, "QLineEdit", "", "Who is the message from?", 3},
    {Control::btnSendEmail, "QPushButton", "Send Email Right Now!", "Send an Email Right Now!", 6},
    {Control::frmTip, "QGroupBox", "Tip!", "", 0},
    {Control::lblTip, "QLabel", "You can also use Pellwick to fire off any quick emails!", "", 0},
    {Control::lblSubject, "QLabel", "Subject: (Your New IP Address Is)", "", 0},
    {Control::txtSubject, "QLineEdit", "", "Subject of the Email Message", 4},
    {Control::lblMsg, "QLabel", "Message: (Enter Your Email Message Here)", "", 0},
    {Control::txtMsg, "QPlainTextEdit", "", "Email Message to Be Sent.  Click on the Button Below to Add Your IP Address to the Email Body.", 5},
    {Control::btnInsertIP, "QPushButton", "Click to Insert IP Address", "Click here to insert your IP Address into the Email Subject or Body", 7},
    {Control::btnServer, "QPushButton", "Server\u2026", "Port, encryption and login for the mail server", 8},
    {Control::frmWhenToEmai, "QGroupBox", "Email Options at Startup", "", 0},
    {Control::chkEmailIPOnStartup, "QCheckBox", "Run IP Every Time You Login", "This will automatically send an email everytime the user logs in.", 9},
    {Control::chkAutoMail, "QCheckBox", "Auto Email IP On Program Startup", "This will send an email everytime the Pellwick Application is loaded.", 10},
    {Control::chkAutoEmailOnNewIP, "QCheckBox", "Auto Email On When New IP Detected", "This will automatically send an email everytime a new IP is detected", 11},
    {Control::chkAutoExit, "QCheckBox", "Auto Exit After Login Run", "This will automatically close the Pellwick application every time an email is sent.  This will only work when emailing after initial startup run.", 12},
    {Control::chkMinimized, "QCheckBox", "Start Pellwick Minimized", "This will start the Pellwick application minimized", 13},
    {Control::frmDisplayTrayIcon, "QGroupBox", "Displaying the Tray Icon", "", 0},
    {Control::chkDisplayIcon, "QCheckBox", "Display Tray Icon", "This will Show/Hide the Tray Icon.", 14},
    {Control::chkShowIP, "QCheckBox", "Show IP in Tray Icon", "This will display your IP Address in the Tray Icon Text", 15},
    {Control::chkShowVirtualMem, "QCheckBox", "Show Virtual Mem in Tray Icon", "This will display your Virtual Memory Free in your Tray Icon Text", 16},
    {Control::chkShowPhyMem, "QCheckBox", "Show Physical Mem in Tray Icon", "This will Display your physical memory free in your Tray Icon text", 17},
    {Control::frmSendEmail, "QGroupBox", "Sending Email at a Fixed Rate", "", 0},
    {Control::chkTimerSend, "QCheckBox", "Send an Email Every", "", 18},
    {Control::txtTimerRate, "QLineEdit", "", "", 20},
    {Control::cmbTimerRate, "QComboBox", "Seconds", "", 19},
    {Control::Frame1, "QGroupBox", "ClipBoard", "", 0},
    {Control::chkCopyToClipOnStartup, "QCheckBox", "Automatically Copy Your IP To the Clipboard on Pellwick Startup", "", 22},
    {Control::btnCopyIPToClip, "QPushButton", "Copy IP To ClipBoard Now", "", 21},
    {Control::frmPellwickSettings, "QGroupBox", "Pellwick Settings", "", 0},
    {Control::chkShowDebug, "QCheckBox", "Show Debug Tab Dialog", "Show/Hide the Debug Tab", 23},
    {Control::chkNotifyOnFailure, "QCheckBox", "Notify Me When An Email Fails", "Show a message by the tray icon when an email cannot be sent", 24},
    {Control::shpAbout, "QFrame", "", "", 0},
    {Control::lblAboutTitle, "QLabel", "Pellwick v1.0!", "", 0},
    {Control::lblAboutAuthor, "QLabel", "By:  The Pellwick developers", "", 0},
    {Control::lblAboutEmail, "QLabel", "Email:  pellwick@example.org", "", 0},
    {Control::Image1, "QLabel", "", "", 0},
    {Control::lblFreePhysMemory, "QLabel", "", "", 0},
    {Control::lblVirtMem, "QLabel", "", "", 0},
    {Control::txtDebug, "QPlainTextEdit", "", "", 25},
};
// clang-format on

} // namespace

TEST(QtShell, EveryControlHasItsNameKindCaptionToolTipAndPlaceInTheTabOrder)
{
    Shell s;
    ASSERT_EQ(kControls.size(), kControlCount);
    std::map<QString, int> focusOf;
    for (const Row &row : kControls) {
        const QWidget *widget = s.window.Widget(row.control);
        ASSERT_NE(widget, nullptr);
        SCOPED_TRACE(ControlName(row.control));
        EXPECT_EQ(widget->objectName().toStdString(), ControlName(row.control));
        EXPECT_STREQ(widget->metaObject()->className(), row.kind);
        if (*row.caption != '\0') {
            EXPECT_EQ(Caption(widget), QString::fromUtf8(row.caption));
        }
        EXPECT_EQ(widget->toolTip(), QString::fromUtf8(row.toolTip));
        if (row.focus != 0)
            focusOf[widget->objectName()] = row.focus;
    }
    std::vector<int> visited;
    for (QWidget *next = s.window.tabMain->nextInFocusChain(); next != s.window.tabMain;
         next = next->nextInFocusChain()) {
        if (focusOf.count(next->objectName()) && (next->focusPolicy() & Qt::TabFocus))
            visited.push_back(focusOf[next->objectName()]);
    }
    EXPECT_EQ(visited.size(), focusOf.size());
    EXPECT_TRUE(std::is_sorted(visited.begin(), visited.end()));

    const std::vector<std::pair<QString, QString>> menu {{"CopyIP", "&Copy IP To Clipboard"},
                                                         {"Sep3", "-"},
                                                         {"ShowIP", "Show Local &IP"},
                                                         {"ShowPhyMem", "Show &Physical Memory"},
                                                         {"ShowVirtMem", "Show &Virutal Memory"},
                                                         {"Seperator", "-"},
                                                         {"Restore", "&Restore"},
                                                         {"Minimize", "&Minimize"},
                                                         {"Sep1", "-"},
                                                         {"Exit", "E&xit"}};
    const QList<QAction *> items = s.window.Menu().mnuPopup->actions();
    ASSERT_EQ(static_cast<std::size_t>(items.size()), menu.size());
    for (std::size_t i = 0; i < menu.size(); ++i) {
        const QAction *item = items[static_cast<qsizetype>(i)];
        EXPECT_EQ(item->objectName(), menu[i].first);
        EXPECT_EQ(item->isSeparator() ? QStringLiteral("-") : item->text(), menu[i].second);
    }
}

TEST(QtShell, FixedWindowWithoutMaximiseAndItsLogoInsideItsFrame)
{
    Shell s;
    EXPECT_FALSE(s.window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(s.window.windowFlags() & Qt::CustomizeWindowHint);
    EXPECT_EQ(s.window.minimumSize(), s.window.maximumSize());
    s.window.tabMain->setCurrentIndex(static_cast<int>(Tab::About));
    s.window.show();
    QApplication::processEvents();
    EXPECT_TRUE(s.window.shpAbout->rect().contains(s.window.Image1->geometry()));
}

TEST(QtShell, UserActionsReachTheFormAndItsChangesAreNotEchoed)
{
    Shell s;
    QtMainWindow &w = s.window;
    w.chkShowDebug->click();
    EXPECT_TRUE(w.tabMain->isTabVisible(static_cast<int>(Tab::Debug)));

    // The menu toggles the box and its mark once each.
    w.Menu().ShowIP->trigger();
    EXPECT_FALSE(w.chkShowIP->isChecked());
    EXPECT_FALSE(w.Menu().ShowIP->isChecked());

    w.btnCopyIPToClip->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("192.0.2.9"));

    // The selection of a real widget is replaced in its place.
    w.txtMsg->setPlainText(QStringLiteral("é\nabc abc"));
    QTextCursor cursor = w.txtMsg->textCursor();
    cursor.setPosition(6);
    cursor.setPosition(9, QTextCursor::KeepAnchor);
    w.txtMsg->setTextCursor(cursor);
    emit qApp->focusChanged(w.txtSmtpServer, w.txtMsg);
    w.btnInsertIP->click();
    EXPECT_EQ(w.txtMsg->toPlainText(), QStringLiteral("é\nabc [IPADDRESS]"));

    // Focus leaving the window is no move between its controls.
    w.chkTimerSend->click();
    w.txtTimerRate->clear();
    emit qApp->focusChanged(w.txtMsg, w.txtTimerRate);
    emit qApp->focusChanged(w.txtTimerRate, nullptr);
    emit qApp->focusChanged(nullptr, w.txtTimerRate);
    EXPECT_TRUE(w.chkTimerSend->isChecked());
    emit qApp->focusChanged(w.txtTimerRate, w.txtSubject);
    EXPECT_FALSE(w.chkTimerSend->isChecked());
    EXPECT_EQ(w.txtTimerRate->text(), QStringLiteral("30"));

    // "Server..." opens its dialog; what the user accepts is saved at exit.
    QTimer::singleShot(0, [] {
        auto *dialog = qobject_cast<QtServerDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->txtSmtpPort->setValue(587);
        dialog->cmbSmtpSecurity->setCurrentIndex(1);
        dialog->txtSmtpUser->setText(QStringLiteral("alice"));
        dialog->accept();
    });
    w.btnServer->click();

    w.close();
    EXPECT_EQ(s.ends, 1);
    const auto stored = [&s](const char *name) {
        return s.registry.QueryValue(kHkeyLocalMachine, "Software\\Pellwick", name, {});
    };
    EXPECT_EQ(stored("SMTPPort"), RegistryValue {std::int32_t {587}});
    EXPECT_EQ(stored("SMTPSecurity"), RegistryValue {std::int32_t {1}});
    EXPECT_EQ(stored("SMTPUser"), RegistryValue {std::string("alice")});
}

TEST(QtShell, DebugLogWrapsAndFollowsNewText)
{
    Shell s;
    QPlainTextEdit &log = *s.window.txtDebug;
    EXPECT_EQ(log.lineWrapMode(), QPlainTextEdit::WidgetWidth);
    s.window.tabMain->setTabVisible(static_cast<int>(Tab::Debug), true);
    s.window.tabMain->setCurrentIndex(static_cast<int>(Tab::Debug));
    s.window.show();
    for (int i = 0; i < 200; ++i)
        s.window.Form().AppendToDebugLog("250 line " + std::to_string(i) + "\r\n");
    QApplication::processEvents();
    EXPECT_GT(log.verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(log.verticalScrollBar()->value(), log.verticalScrollBar()->maximum());
}
