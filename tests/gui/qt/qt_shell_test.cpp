// SPDX-License-Identifier: MIT
// The Qt shell's contract: its widgets keep the controls' texts and focus
// order, and what the user does reaches MainWindow (which the core's own
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
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
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
            window.Form().Start();
    }
};

} // namespace

TEST(QtShell, TabVisitsTheInputsInOrder)
{
    Shell s;
    using enum Control;
    // clang-format off
    const std::vector<Control> order {SmtpServer, Recipient, Sender, Subject, Message,
        SendEmailButton, InsertIpButton, InsertPublicIpButton, ServerButton, EmailIpOnStartup, AutoMail, EmailOnNewIp,
        AutoExit, StartMinimized, DisplayIcon, ShowIp, ShowVirtualMemory, ShowPhysicalMemory,
        TimerSend, TimerUnit, TimerRate, CopyIpButton, CopyIpOnStartup,
        ShowDebug, NotifyOnFailure, AskRouter, AskStun, StunServer, DebugText};
    // clang-format on
    std::vector<Control> visited;
    for (QWidget *next = s.window.Tabs->nextInFocusChain(); next != s.window.Tabs;
         next = next->nextInFocusChain()) {
        const auto at = std::find_if(order.begin(), order.end(),
                                     [&](Control c) { return s.window.Widget(c) == next; });
        if (at != order.end() && (next->focusPolicy() & Qt::TabFocus))
            visited.push_back(*at);
    }
    EXPECT_EQ(visited, order);
}

TEST(QtShell, UserActionsReachTheWindowAndItsChangesAreNotEchoed)
{
    Shell s;
    QtMainWindow &w = s.window;
    auto *Message = w.Get<QPlainTextEdit>(Control::Message);
    auto *TimerRate = w.Get<QLineEdit>(Control::TimerRate);
    auto *TimerSend = w.Get<QCheckBox>(Control::TimerSend);
    w.Get<QCheckBox>(Control::ShowDebug)->click();
    EXPECT_TRUE(w.Tabs->isTabVisible(static_cast<int>(Tab::Debug)));

    // The menu toggles the box and its mark once each.
    w.Menu().Item(MenuItem::ShowIp)->trigger();
    EXPECT_FALSE(w.Get<QCheckBox>(Control::ShowIp)->isChecked());
    EXPECT_FALSE(w.Menu().Item(MenuItem::ShowIp)->isChecked());

    w.Get<QPushButton>(Control::CopyIpButton)->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("192.0.2.7"));

    // The selection of a real widget is replaced in its place.
    Message->setPlainText(QStringLiteral("é\nabc abc"));
    QTextCursor cursor = Message->textCursor();
    cursor.setPosition(6);
    cursor.setPosition(9, QTextCursor::KeepAnchor);
    Message->setTextCursor(cursor);
    emit qApp->focusChanged(w.Get<QLineEdit>(Control::SmtpServer), Message);
    w.Get<QPushButton>(Control::InsertIpButton)->click();
    EXPECT_EQ(Message->toPlainText(), QStringLiteral("é\nabc [IPADDRESS]"));
    // Words wrap whole until a typed run grows too long to lay out that way.
    EXPECT_EQ(Message->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    Message->insertPlainText(QString(201, u'x'));
    EXPECT_EQ(Message->wordWrapMode(), QTextOption::WrapAnywhere);

    // Focus leaving the window is no move between its controls.
    TimerSend->click();
    TimerRate->clear();
    emit qApp->focusChanged(Message, TimerRate);
    emit qApp->focusChanged(TimerRate, nullptr);
    emit qApp->focusChanged(nullptr, TimerRate);
    EXPECT_TRUE(TimerSend->isChecked());
    emit qApp->focusChanged(TimerRate, w.Get<QLineEdit>(Control::Subject));
    EXPECT_FALSE(TimerSend->isChecked());
    EXPECT_EQ(TimerRate->text(), QStringLiteral("30"));

    // "Server..." opens its dialog; what the user accepts is saved at exit.
    QTimer::singleShot(0, [] {
        auto *dialog = qobject_cast<QtServerDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->portField->setValue(587);
        dialog->securityField->setCurrentIndex(1);
        dialog->userField->setText(QStringLiteral("alice"));
        dialog->accept();
    });
    w.Get<QPushButton>(Control::ServerButton)->click();

    w.close();
    EXPECT_EQ(s.processEnds, 1);
    EXPECT_EQ(s.hive.Read("SMTPPort"), Stored(587));
    EXPECT_EQ(s.hive.Read("SMTPSecurity"), Stored(1));
    EXPECT_EQ(s.hive.Read("SMTPUser"), Stored(std::string("alice")));
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
    // A line too long to wrap at blanks wraps anywhere and comes back whole.
    const std::string message = "a\r\n" + std::string(300, 'x') + " b";
    s.hive.Write("Msg", Stored(message));
    s.window.Load();
    s.window.Form().AppendToDebugLog("220 ready\r\n");
    EXPECT_TRUE(s.window.isVisible() && s.window.isMinimized());
    EXPECT_FALSE(s.window.ControlsBuilt());

    s.window.showNormal();
    ASSERT_TRUE(s.window.ControlsBuilt());
    EXPECT_EQ(s.window.Get<QLineEdit>(Control::SmtpServer)->text(),
              QStringLiteral("mail.example.com"));
    EXPECT_TRUE(s.window.Get<QCheckBox>(Control::StartMinimized)->isChecked());
    EXPECT_TRUE(s.window.Tabs->isTabVisible(static_cast<int>(Tab::Debug)));
    EXPECT_EQ(s.window.DebugText->toPlainText(), QStringLiteral("220 ready\n"));
    const auto *shown = s.window.Get<QPlainTextEdit>(Control::Message);
    EXPECT_EQ(shown->wordWrapMode(), QTextOption::WrapAnywhere);
    EXPECT_EQ(PlainTextWithCrLf(*shown), message);
}
