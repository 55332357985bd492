// The Qt shell's contract: its widgets carry the controls' names, texts and
// focus order, and what the user does reaches frmMain (which the core's own
// tests cover in full).
#include "support/test_machine.h"

#include "gui/qt/pellwick_icon.h"
#include "gui/qt/qt_main_window.h"
#include "gui/qt/qt_notify_area.h"
#include "gui/qt/text_lines.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextCursor>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace pellwick;

namespace {

struct Shell : test::TestMachine
{
    QtNotifyArea area {PellwickIcon()};
    QtMainWindow window {QtWindowParts {.machine = Parts(), .notifyArea = area}};
    explicit Shell(bool load = true)
    {
        if (load)
            window.Form().Form_Load();
    }
};

} // namespace

TEST(QtShell, EveryControlIsNamedAndTabVisitsTheInputsInOrder)
{
    Shell s;
    for (std::size_t i = 0; i < kControlCount; ++i) {
        const QWidget *widget = s.window.Widget(static_cast<Control>(i));
        ASSERT_NE(widget, nullptr) << i;
        EXPECT_EQ(widget->objectName().toStdString(), ControlName(static_cast<Control>(i)));
    }
    using enum Control;
    // clang-format off
    const std::vector<Control> order {txtSmtpServer, txtRecipient, txtSender, txtSubject, txtMsg,
        btnSendEmail, btnInsertIP, btnServer, chkEmailIPOnStartup, chkAutoMail, chkAutoEmailOnNewIP,
        chkAutoExit, chkMinimized, chkDisplayIcon, chkShowIP, chkShowVirtualMem, chkShowPhyMem,
        chkTimerSend, cmbTimerRate, txtTimerRate, btnCopyIPToClip, chkCopyToClipOnStartup,
        chkShowDebug, chkNotifyOnFailure, txtDebug};
    // clang-format on
    std::vector<Control> visited;
    for (QWidget *next = s.window.tabMain->nextInFocusChain(); next != s.window.tabMain;
         next = next->nextInFocusChain()) {
        const auto at = std::find_if(order.begin(), order.end(),
                                     [&](Control c) { return s.window.Widget(c) == next; });
        if (at != order.end() && (next->focusPolicy() & Qt::TabFocus))
            visited.push_back(*at);
    }
    EXPECT_EQ(visited, order);
}

// (That it offers neither maximise nor resize, the tray end-to-end run asks.)
TEST(QtShell, TheAboutLogoStaysInsideItsFrame)
{
    Shell s;
    s.window.tabMain->setCurrentIndex(static_cast<int>(Tab::About));
    s.window.show();
    QApplication::processEvents();
    EXPECT_TRUE(s.window.Get<QFrame>(Control::shpAbout)
                    ->rect()
                    .contains(s.window.Get<QLabel>(Control::Image1)->geometry()));
}

TEST(QtShell, UserActionsReachTheFormAndItsChangesAreNotEchoed)
{
    Shell s;
    QtMainWindow &w = s.window;
    auto *txtMsg = w.Get<QPlainTextEdit>(Control::txtMsg);
    auto *txtTimerRate = w.Get<QLineEdit>(Control::txtTimerRate);
    auto *chkTimerSend = w.Get<QCheckBox>(Control::chkTimerSend);
    w.Get<QCheckBox>(Control::chkShowDebug)->click();
    EXPECT_TRUE(w.tabMain->isTabVisible(static_cast<int>(Tab::Debug)));

    // The menu toggles the box and its mark once each.
    w.Menu().Item(MenuItem::ShowIP)->trigger();
    EXPECT_FALSE(w.Get<QCheckBox>(Control::chkShowIP)->isChecked());
    EXPECT_FALSE(w.Menu().Item(MenuItem::ShowIP)->isChecked());

    w.Get<QPushButton>(Control::btnCopyIPToClip)->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("192.0.2.9"));

    // The selection of a real widget is replaced in its place.
    txtMsg->setPlainText(QStringLiteral("é\nabc abc"));
    QTextCursor cursor = txtMsg->textCursor();
    cursor.setPosition(6);
    cursor.setPosition(9, QTextCursor::KeepAnchor);
    txtMsg->setTextCursor(cursor);
    emit qApp->focusChanged(w.Get<QLineEdit>(Control::txtSmtpServer), txtMsg);
    w.Get<QPushButton>(Control::btnInsertIP)->click();
    EXPECT_EQ(txtMsg->toPlainText(), QStringLiteral("é\nabc [IPADDRESS]"));

    // Focus leaving the window is no move between its controls.
    chkTimerSend->click();
    txtTimerRate->clear();
    emit qApp->focusChanged(txtMsg, txtTimerRate);
    emit qApp->focusChanged(txtTimerRate, nullptr);
    emit qApp->focusChanged(nullptr, txtTimerRate);
    EXPECT_TRUE(chkTimerSend->isChecked());
    emit qApp->focusChanged(txtTimerRate, w.Get<QLineEdit>(Control::txtSubject));
    EXPECT_FALSE(chkTimerSend->isChecked());
    EXPECT_EQ(txtTimerRate->text(), QStringLiteral("30"));

    // "Server..." opens its dialog; what the user accepts is saved at exit.
    QTimer::singleShot(0, [] {
        auto *dialog = qobject_cast<QtServerDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->txtSmtpPort->setValue(587);
        dialog->cmbSmtpSecurity->setCurrentIndex(1);
        dialog->txtSmtpUser->setText(QStringLiteral("alice"));
        dialog->accept();
    });
    w.Get<QPushButton>(Control::btnServer)->click();

    w.close();
    EXPECT_EQ(s.ends, 1);
    EXPECT_EQ(s.hive.Read("SMTPPort"), Stored(587));
    EXPECT_EQ(s.hive.Read("SMTPSecurity"), Stored(1));
    EXPECT_EQ(s.hive.Read("SMTPUser"), Stored(std::string("alice")));
}

TEST(QtShell, DebugLogWrapsAndFollowsNewText)
{
    Shell s;
    QPlainTextEdit &log = *s.window.txtDebug;
    EXPECT_EQ(log.lineWrapMode(), QPlainTextEdit::WidgetWidth);
    const auto append = [&s](int from, int to) {
        for (int i = from; i < to; ++i)
            s.window.Form().AppendToDebugLog("250 line " + std::to_string(i) + "\r\n");
    };
    // Lines written while the log is hidden are there when it shows.
    append(0, 100);
    s.window.tabMain->setTabVisible(static_cast<int>(Tab::Debug), true);
    s.window.tabMain->setCurrentIndex(static_cast<int>(Tab::Debug));
    s.window.show();
    append(100, 200);
    QApplication::processEvents();
    EXPECT_EQ(PlainTextWithCrLf(log), s.window.Form().DebugLog());
    EXPECT_GT(log.verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(log.verticalScrollBar()->value(), log.verticalScrollBar()->maximum());
}

// A start that needs no window builds none: started minimised (the offscreen
// platform has no tray), it sits on the task bar without its controls, and the
// first restore lays them out with everything the start set.
TEST(QtShell, MinimisedStartBuildsTheControlsOnlyWhenRestored)
{
    Shell s(false);
    s.hive.Write("StartMinimized", Stored(1));
    s.hive.Write("ShowDebug", Stored(1));
    s.hive.Write("SMTPServer", Stored(std::string("mail.example.com")));
    s.window.Load();
    s.window.Form().AppendToDebugLog("220 ready\r\n");
    EXPECT_TRUE(s.window.isVisible() && s.window.isMinimized());
    EXPECT_FALSE(s.window.ControlsBuilt());
    EXPECT_EQ(s.window.Get<QLineEdit>(Control::txtSmtpServer), nullptr);

    s.window.showNormal();
    ASSERT_TRUE(s.window.ControlsBuilt());
    EXPECT_TRUE(s.window.tabMain->isVisible());
    EXPECT_EQ(s.window.Get<QLineEdit>(Control::txtSmtpServer)->text(),
              QStringLiteral("mail.example.com"));
    EXPECT_TRUE(s.window.Get<QCheckBox>(Control::chkMinimized)->isChecked());
    EXPECT_TRUE(s.window.tabMain->isTabVisible(static_cast<int>(Tab::Debug)));
    EXPECT_EQ(s.window.tabMain->currentIndex(), static_cast<int>(Tab::Email));
    EXPECT_EQ(s.window.txtDebug->toPlainText(), QStringLiteral("220 ready\n"));
}
