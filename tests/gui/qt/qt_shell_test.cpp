// SPDX-License-Identifier: MIT
// The Qt shell's contract: its widgets keep the controls' texts and focus
// order, and what the user does reaches MainWindow (which the core's own
// tests cover in full). Its socket carries the SMTP dialogue over the real event
// loop to a real server (aiosmtpd) on loopback: STARTTLS and TLS with a login,
// and broken or hostile peers.
#include "support/event_loop.h"
#include "support/smtp_sink.h"
#include "support/temp_folder.h"
#include "support/test_machine.h"
#include "support/tls_cases.h"

#include "core/mail/smtp.h"
#include "gui/qt/pellwick_icon.h"
#include "gui/qt/qt_deadline.h"
#include "gui/qt/qt_main_window.h"
#include "gui/qt/qt_notify_area.h"
#include "gui/qt/qt_socket.h"
#include "gui/qt/text_lines.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QSslConfiguration>
#include <QTabWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace pellwick;
using namespace pellwick::test;

namespace {

struct Shell : TestMachine
{
    QtNotifyArea area {PellwickIcon()};
    QtMainWindow window {QtWindowParts {.machine = Parts(), .notifyArea = area}};
    explicit Shell(bool load = true)
    {
        if (load)
            window.Form().Start();
    }
};

struct Client
{
    Client()
    {
        QObject::connect(&socket, &QtSocket::dataArrival,
                         [this](std::int32_t count) { smtp.HandleServerReply(count); });
    }
    bool send(Submission submission, const std::string &server = " 127.0.0.1 ")
    {
        const int before = host.dialoguesEnded;
        host.log.clear();
        smtp.ConnectToServer(server, "bob@example.org", "Your New IP Address is 10.9.8.7",
                             "alice@example.com", "IP", "Pellwick v1.0", std::move(submission));
        return RunEventsUntil([&] { return host.dialoguesEnded > before; });
    }

    QtSocket socket;
    RecordingSmtpListener host;
    QtDeadline deadline;
    Smtp smtp {socket, host, deadline, FixedEnvironment()};
};

} // namespace

TEST(QtShell, TabVisitsTheInputsInOrder)
{
    Shell s;
    using enum Control;
    // clang-format off
    const std::vector<Control> order {SmtpServer, Recipient, Sender, Subject, Message,
        SendEmailButton, InsertIpButton, InsertPublicIpButton, ServerButton, EmailIpOnStartup,
        AutoMail, EmailOnNewIp, AutoExit, StartMinimized, DisplayIcon, ShowIp, ShowVirtualMemory,
        ShowPhysicalMemory, TimerSend, TimerUnit, TimerRate, CopyIpButton, CopyIpOnStartup,
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

TEST(SmtpOverTls, DeliversOnlyOverTrustedTlsAndNeverShowsThePassword)
{
    // Certificates from a test authority this process trusts, and a self-signed one.
    QTemporaryDir certs;
    QProcess::execute(QStringLiteral("/usr/bin/python3"),
                      {QStringLiteral(PELLWICK_TEST_AUTHORITY_SCRIPT), certs.path()});
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.addCaCertificates(certs.filePath(QStringLiteral("ca.pem")));
    QSslConfiguration::setDefaultConfiguration(config);
    const std::string selfFingerprint
        = ReadBytes(certs.filePath(QStringLiteral("self.sha256")).toStdString());
    const std::string password = "pa55 w\xC3\xB6rd";
    for (const auto &c : kTlsCases) {
        SCOPED_TRACE(c.name);
        const QString stem = certs.filePath(QString::fromStdString(c.certStem));
        SmtpSink sink({QStringLiteral("--tls"), QString::fromStdString(c.tls),
                       QStringLiteral("--cert"), stem + QStringLiteral(".pem"),
                       QStringLiteral("--key"), stem + QStringLiteral(".key"),
                       QStringLiteral("--login"), QString::fromStdString("alice:" + password)});
        ASSERT_TRUE(sink.started());
        Client client;
        ASSERT_TRUE(client.send(TlsSubmission(c, sink.port(), password, selfFingerprint)));
        const auto messages = sink.Messages();
        ExpectTlsOutcome(c, client.host, messages.empty() ? "" : messages[0], password,
                         selfFingerprint);
    }
}

TEST(SmtpWithRealServer, EveryWayAPeerFailsEndsTheDialogueWithItsCause)
{
    SmtpSink sink;
    ASSERT_TRUE(sink.started());
    Client client;
    const std::string megabyte(1 << 20, 'x');
    // What the peer does with each client, or nothing listening (empty).
    using Behaviour = std::function<void(QTcpSocket *)>;
    struct Case
    {
        Behaviour peer;
        std::string log; // "@" stands for the server and port
        std::string server = "127.0.0.1";
    };
    const std::vector<Case> cases {
        {[&](QTcpSocket *c) { c->write(QByteArray::fromStdString(megabyte)); },
         megabyte.substr(0, 4096) + "\r\nReply from @ over the size limit\r\n"},
        {[](QTcpSocket *c) {
             c->write("220 hostile\r\n");
             QObject::connect(c, &QTcpSocket::readyRead, c, [c] {
                 c->write("250-half");
                 c->disconnectFromHost();
             });
         },
         "220 hostile\r\n\r\nHELO alice\r\nConnection to @ lost waiting for the reply to HELO: "
         "closed by the server\r\n"},
        {nullptr, "Could not connect to @: connection refused\r\n"},
        // A name under ".invalid" would still go to the machine's name server,
        // which is not on loopback; an empty label fails here.
        {nullptr, "Could not connect to @: host not found\r\n", "nowhere..invalid"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.log.substr(c.log.size() - 40));
        QTcpServer peer;
        ASSERT_TRUE(peer.listen(QHostAddress::LocalHost));
        const auto port = static_cast<std::uint16_t>(peer.serverPort());
        if (c.peer) {
            QObject::connect(&peer, &QTcpServer::newConnection, [&] {
                while (QTcpSocket *accepted = peer.nextPendingConnection())
                    c.peer(accepted);
            });
        } else {
            peer.close();
        }
        ASSERT_TRUE(client.send({port, Security::None, "", {}, "", ""}, c.server));
        std::string log = c.log;
        log.replace(log.find('@'), 1, c.server + ":" + std::to_string(port));
        EXPECT_EQ(client.host.log, log + "Closing Connection\r\n");
        EXPECT_EQ(client.host.outcome.result, c.log.find("size limit") == std::string::npos
                                                  ? DeliveryResult::PassingFailure
                                                  : DeliveryResult::RefusedForGood);
        EXPECT_EQ(client.socket.findChild<QTcpSocket *>()->bytesAvailable(), 0);
        peer.close();
        // Nothing left from that peer spoils the next mail (all are counted below).
        ASSERT_TRUE(client.send({sink.port(), Security::None, "", {}, "", ""}));
    }
    EXPECT_EQ(sink.Messages().size(), cases.size());
}
