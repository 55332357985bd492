// The whole window on the offscreen platform: real event loop, a real hive file
// in a temporary folder, a real SMTP server on loopback, and a local IP and
// memory figures the test controls.
#include "core/settings/registry.h"
#include "core/settings/settings_table.h"
#include "gui/qt/frm_main.h"
#include "gui/qt/pellwick_icon.h"
#include "gui/qt/qt_notify_area.h"
#include "platform/linux/hive_file.h"
#include "platform/linux/xdg_autostart.h"
#include "support/event_loop.h"
#include "support/smtp_sink.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>

using namespace pellwick;
using pellwick::test::RunEventsUntil;
using pellwick::test::SmtpSink;

namespace {

const std::string kKey = std::string(kSettingsKey);

// A server that greets every connection with one fixed reply and counts them.
class OneReplyServer
{
public:
    explicit OneReplyServer(QByteArray greeting)
    {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this, greeting] {
            while (QTcpSocket *peer = m_server.nextPendingConnection()) {
                ++connections;
                peer->write(greeting);
            }
        });
    }
    std::uint16_t port() const { return static_cast<std::uint16_t>(m_server.serverPort()); }
    int connections = 0;

private:
    QTcpServer m_server;
};

MemStatus memoryOf(std::uint64_t availPhys)
{
    MemStatus status;
    status.dwTotalPhys = 8'000'000'000;
    status.dwAvailPhys = availPhys;
    status.dwTotalVirtual = 140'000'000'000'000;
    status.dwAvailVirtual = 139'000'000'000'000;
    return status;
}

struct Program
{
    QTemporaryDir dir;
    std::filesystem::path hivePath
        = std::filesystem::path(dir.path().toStdString()) / "registry.reg";
    HiveFile hive {hivePath};
    Registry registry {hive};
    XdgAutostart autostart {dir.path().toStdString(), "/opt/pellwick/pellwick"};
    QtNotifyArea notifyArea {PellwickIcon()};
    std::string ip = "10.1.2.3";
    std::uint64_t availPhys = 2'000'000'000;
    int ended = 0;
    std::unique_ptr<frmMain> window;

    void set(const char *name, const RegistryValue &value, std::uint32_t type)
    {
        registry.SetKeyValue(kHkeyLocalMachine, kKey, name, value, type);
    }
    // No mail of a test ever reaches a real port 25: unless a test names its
    // own server, connections go to a port where nothing listens.
    void start(const std::string &commandLine = "",
               std::optional<std::uint16_t> port = closedPort())
    {
        window = std::make_unique<frmMain>(WindowParts {
            .registry = registry,
            .autostart = autostart,
            .notifyArea = notifyArea,
            .localIp = [this] { return ip; },
            .memoryReader = [this] { return memoryOf(availPhys); },
            .commandLine = commandLine,
            .endProcess = [this] { ++ended; },
            .smtpPortOverride = port,
        });
        window->Form_Load();
    }
    RegistryValue stored(const char *name)
    {
        return registry.QueryValue(kHkeyLocalMachine, kKey, name, RegistryValue {});
    }
    std::string caption() const { return window->windowTitle().toStdString(); }
    std::string log() const { return window->txtDebug->toPlainText().toStdString(); }
    static std::uint16_t closedPort()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        return static_cast<std::uint16_t>(probe.serverPort());
    }
};

void focus(QWidget *widget)
{
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(widget, &in);
}

} // namespace

TEST(Window, FreshStartShowsTheDefaultsAndOneExitStoresAllNineteen)
{
    Program p;
    p.start();
    frmMain &w = *p.window;
    EXPECT_EQ(w.txtSmtpServer->text(), "localhost");
    EXPECT_EQ(w.txtSender->text(), "pellwick@localhost");
    EXPECT_EQ(w.txtRecipient->text(), "root@localhost");
    EXPECT_EQ(w.txtSubject->text(), "Your New IP is [IPADDRESS]");
    EXPECT_EQ(w.txtMsg->toPlainText(), "Your New IP Address is [IPADDRESS]");
    EXPECT_EQ(w.txtTimerRate->text(), "30");
    EXPECT_EQ(w.cmbTimerRate->currentText(), "Seconds");
    for (QCheckBox *on : {w.chkEmailIPOnStartup, w.chkDisplayIcon, w.chkAutoEmailOnNewIP,
                          w.chkShowIP, w.chkShowPhyMem, w.chkShowVirtualMem})
        EXPECT_TRUE(on->isChecked()) << on->objectName().toStdString();
    for (QCheckBox *off : {w.chkAutoMail, w.chkAutoExit, w.chkMinimized, w.chkShowDebug,
                           w.chkCopyToClipOnStartup, w.chkTimerSend})
        EXPECT_FALSE(off->isChecked()) << off->objectName().toStdString();
    EXPECT_EQ(w.tabMain->currentIndex(), 0);
    EXPECT_FALSE(w.tabMain->isTabVisible(4));
    EXPECT_TRUE(w.Menu().ShowIP->isChecked());
    EXPECT_TRUE(w.Menu().ShowPhyMem->isChecked());
    EXPECT_TRUE(w.Menu().ShowVirtMem->isChecked());
    EXPECT_TRUE(w.chkAutoExit->isEnabled());
    EXPECT_FALSE(w.txtTimerRate->isEnabled());
    EXPECT_TRUE(std::filesystem::exists(p.autostart.EntryFile()));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(p.caption(), "Pellwick v1.0! - Your IP Is 10.1.2.3");
    EXPECT_TRUE(p.notifyArea.isVisible());
    EXPECT_EQ(p.notifyArea.toolTip(), "10.1.2.3 %25 Phyical Free %99 Virtual Free ");
    EXPECT_EQ(w.lblFreePhysMemory->text(), "%25 Physical Mem Available. (2000000KB of 8000000KB)");
    EXPECT_FALSE(std::filesystem::exists(p.hivePath)) << "loading writes nothing";

    w.close();
    EXPECT_EQ(p.ended, 1);
    EXPECT_FALSE(p.notifyArea.isVisible());
    for (const SettingRow &row : SettingsTable()) {
        const RegistryValue value = p.stored(std::string(row.valueName).c_str());
        if (row.type == kRegSz)
            EXPECT_TRUE(std::holds_alternative<std::string>(value)) << row.valueName;
        else
            EXPECT_TRUE(std::holds_alternative<std::int32_t>(value)) << row.valueName;
    }
    EXPECT_EQ(p.stored("ShowPhyMem"), RegistryValue {1});
    EXPECT_EQ(p.stored("TimerValueType"), RegistryValue {0});
    // Exit runs once, whatever asks for it after.
    w.ExitApp();
    EXPECT_EQ(p.ended, 1);
}

TEST(Window, StoredValuesLoadAsTheirControlsTakeThem)
{
    Program p;
    p.set("SMTPServer", std::string("mx.example.com"), kRegSz);
    p.set("Subject", std::string(""), kRegSz);
    p.set("TimerValue", 7, kRegDword); // a number under a text row
    p.set("ShowPhyMem", 0, kRegDword);
    p.set("ShowDebug", std::string("1"), kRegSz); // a text under a check-box row
    p.set("TimerValueType", -1, kRegDword);
    p.set("Msg", std::string("line one\r\nline two"), kRegSz);
    p.start();
    frmMain &w = *p.window;
    EXPECT_EQ(w.txtSmtpServer->text(), "mx.example.com");
    EXPECT_EQ(w.txtSender->text(), "pellwick@localhost") << "missing value takes its default";
    EXPECT_EQ(w.txtSubject->text(), "");
    EXPECT_EQ(w.txtTimerRate->text(), "7");
    EXPECT_FALSE(w.chkShowPhyMem->isChecked());
    EXPECT_FALSE(w.Menu().ShowPhyMem->isChecked());
    EXPECT_TRUE(w.chkShowDebug->isChecked());
    EXPECT_TRUE(w.tabMain->isTabVisible(4));
    EXPECT_EQ(w.cmbTimerRate->currentText(), "");
    EXPECT_EQ(w.txtMsg->blockCount(), 2);
    EXPECT_EQ(p.notifyArea.toolTip(), "10.1.2.3 %99 Virtual Free ");

    w.ExitApp();
    EXPECT_EQ(p.stored("Subject"), RegistryValue {std::string()});
    EXPECT_EQ(p.stored("TimerValue"), RegistryValue {std::string("7")});
    EXPECT_EQ(p.stored("ShowDebug"), RegistryValue {1});
    EXPECT_EQ(p.stored("TimerValueType"), RegistryValue {-1});
    EXPECT_EQ(p.stored("Msg"), RegistryValue {std::string("line one\r\nline two")});
}

TEST(Window, StartUpOptionsDecideWindowIconAndAutoExit)
{
    {
        Program p; // AutoMail with EmailIPOnStartup
        p.set("AutoMail", 1, kRegDword);
        p.start();
        EXPECT_TRUE(p.window->chkAutoExit->isEnabled());
    }
    {
        Program p; // AutoMail without it
        p.set("AutoMail", 1, kRegDword);
        p.set("EmailOnIPStartup", 0, kRegDword);
        std::filesystem::create_directories(p.autostart.EntryFile().parent_path());
        p.autostart.Register();
        p.start();
        EXPECT_FALSE(p.window->chkAutoExit->isEnabled());
        EXPECT_FALSE(std::filesystem::exists(p.autostart.EntryFile()))
            << "a start with the option off removes an old entry";
    }
    {
        Program p; // Minimized without DisplayIcon
        p.set("StartMinimized", 1, kRegDword);
        p.set("DisplayIcon", 0, kRegDword);
        p.start();
        EXPECT_FALSE(p.window->isVisible());
        EXPECT_TRUE(p.notifyArea.isVisible());
        // Minimising the hidden window from the menu puts the first tooltip back.
        EXPECT_EQ(p.notifyArea.toolTip(), "10.1.2.3 %25 Phyical Free %99 Virtual Free ");
        p.window->Menu().Minimize->trigger();
        EXPECT_FALSE(p.window->isVisible());
        EXPECT_EQ(p.notifyArea.toolTip(), "Local IP is 10.1.2.3");
    }
    {
        Program p; // DisplayIcon without Minimized
        p.start();
        EXPECT_TRUE(p.window->isVisible());
        EXPECT_TRUE(p.notifyArea.isVisible());
    }
    {
        Program p; // neither
        p.set("DisplayIcon", 0, kRegDword);
        p.start();
        EXPECT_TRUE(p.window->isVisible());
        EXPECT_FALSE(p.notifyArea.isVisible());
    }
}

TEST(Window, LoginRunWithAutoExitEndsAfterItsDialogueWhateverTheOutcome)
{
    SmtpSink sink;
    ASSERT_TRUE(sink.started());
    {
        // A normal delivery: saved first, then ended.
        Program p;
        p.set("AutoMail", 1, kRegDword);
        p.set("AutoExit", 1, kRegDword);
        p.set("Subject", std::string("at [IPADDRESS]"), kRegSz);
        p.start("x /S", sink.port());
        ASSERT_TRUE(RunEventsUntil([&] { return p.ended > 0; }));
        EXPECT_EQ(p.stored("AutoExit"), RegistryValue {1});
        ASSERT_EQ(sink.Messages().size(), 1u);
        EXPECT_NE(sink.Messages()[0].data.find("Subject: at 10.1.2.3\r\n"), std::string::npos);
    }
    {
        // A refused greeting ends the run all the same.
        OneReplyServer refusing("554 no service\r\n");
        Program p;
        p.set("AutoMail", 1, kRegDword);
        p.set("AutoExit", 1, kRegDword);
        p.start("-s", refusing.port());
        ASSERT_TRUE(RunEventsUntil([&] { return p.ended > 0; }));
        EXPECT_EQ(p.log(), "554 no service\n\nClosing Connection\n");
    }
    for (const char *commandLine : {"/sx", ""}) {
        // Not a log-in run: the dialogue ends and the program stays.
        OneReplyServer refusing("554 no service\r\n");
        Program p;
        p.set("AutoMail", 1, kRegDword);
        p.set("AutoExit", 1, kRegDword);
        p.start(commandLine, refusing.port());
        ASSERT_TRUE(RunEventsUntil([&] { return p.log().ends_with("Closing Connection\n"); }));
        EXPECT_EQ(p.ended, 0) << commandLine;
    }
}

TEST(Window, InsertIpButtonWritesTheTokenAtTheCaretOfTheLastField)
{
    Program p;
    p.start();
    frmMain &w = *p.window;
    EXPECT_FALSE(w.btnInsertIP->isEnabled());

    w.txtMsg->setPlainText("Hello world");
    focus(w.txtMsg);
    EXPECT_TRUE(w.btnInsertIP->isEnabled());
    QTextCursor cursor = w.txtMsg->textCursor();
    cursor.setPosition(5);
    w.txtMsg->setTextCursor(cursor);
    w.btnInsertIP->click();
    EXPECT_EQ(w.txtMsg->toPlainText(), "Hello[IPADDRESS] world");

    focus(w.txtSubject);
    w.txtSubject->setText("abc abc");
    w.txtSubject->setSelection(4, 3); // the second of two equal words
    w.btnInsertIP->click();
    EXPECT_EQ(w.txtSubject->text(), " abc[IPADDRESS]");

    w.txtSubject->setText("old ip, old");
    w.txtSubject->setSelection(0, 3);
    w.btnInsertIP->click();
    EXPECT_EQ(w.txtSubject->text(), "[IPADDRESS] ip, old");

    w.txtSubject->setText("IP:");
    w.txtSubject->setCursorPosition(3);
    w.btnInsertIP->click();
    EXPECT_EQ(w.txtSubject->text(), "IP:[IPADDRESS]");
    EXPECT_EQ(w.txtMsg->toPlainText(), "Hello[IPADDRESS] world") << "the body stays as it was";
}

TEST(Window, MailCarriesTheIpOfTheMomentOfSending)
{
    SmtpSink sink;
    ASSERT_TRUE(sink.started());
    Program p;
    p.start("", sink.port());
    frmMain &w = *p.window;
    w.txtSubject->setText("IP [IPADDRESS]");
    w.txtMsg->setPlainText("now [IPADDRESS]\nbye");
    p.ip = "10.9.9.9"; // not yet seen by the timer
    w.btnSendEmail->click();
    ASSERT_TRUE(RunEventsUntil([&] { return p.log().ends_with("Closing Connection\n"); }));
    ASSERT_EQ(sink.Messages().size(), 1u);
    const std::string data = sink.Messages()[0].data;
    EXPECT_NE(data.find("Subject: IP 10.9.9.9\r\n"), std::string::npos) << data;
    EXPECT_TRUE(data.ends_with("\r\n\r\nnow 10.9.9.9\r\nbye\r\n")) << data;
    EXPECT_EQ(p.caption(), "Pellwick v1.0! - Your IP Is 10.1.2.3");
    EXPECT_EQ(w.txtSubject->text(), "IP [IPADDRESS]") << "the template keeps its token";

    // An empty recipient still runs the dialogue.
    w.txtRecipient->clear();
    w.SendEmail();
    ASSERT_TRUE(RunEventsUntil([&] {
        return p.log().find("RCPT TO:<>\n") != std::string::npos
               && p.log().ends_with("Closing Connection\n");
    }));
}

TEST(Window, TimerTickWatchesTheIpAndKeepsTheSchedule)
{
    OneReplyServer server("554 busy\r\n");
    Program p;
    p.start("", server.port());
    frmMain &w = *p.window;
    const std::string tip = p.notifyArea.toolTip().toStdString();

    // Memory alone changes neither caption nor tooltip.
    p.availPhys = 1'000'000'000;
    w.tmrMain_Timer();
    EXPECT_EQ(p.caption(), "Pellwick v1.0! - Your IP Is 10.1.2.3");
    EXPECT_EQ(p.notifyArea.toolTip().toStdString(), tip);
    EXPECT_EQ(w.lblFreePhysMemory->text(), "%12 Physical Mem Available. (1000000KB of 8000000KB)");

    // A new IP: caption, tooltip, and a mail.
    p.ip = "10.4.4.4";
    w.tmrMain_Timer();
    EXPECT_EQ(p.caption(), "Connecting to localhost");
    EXPECT_EQ(w.g_strLocalIP, "10.4.4.4");
    EXPECT_EQ(p.notifyArea.toolTip(), "10.4.4.4 %12 Phyical Free %99 Virtual Free ");
    ASSERT_TRUE(RunEventsUntil([&] { return server.connections == 1; }));

    // New IP and the schedule on one tick: two sends.
    w.chkTimerSend->setChecked(true);
    w.txtTimerRate->setText("0");
    w.ApplyTimerSettings();
    p.ip = "10.5.5.5";
    w.tmrMain_Timer();
    ASSERT_TRUE(RunEventsUntil([&] { return server.connections == 3; }));

    // "30" "Seconds": the sixth tick after arming sends, not the fifth.
    w.txtTimerRate->setText("30");
    w.ApplyTimerSettings();
    for (int tick = 1; tick <= 5; ++tick)
        w.tmrMain_Timer();
    RunEventsUntil([] { return false; }, 200);
    EXPECT_EQ(server.connections, 3);
    w.tmrMain_Timer();
    ASSERT_TRUE(RunEventsUntil([&] { return server.connections == 4; }));

    // An emptied rate field that loses the focus switches the schedule off.
    w.txtTimerRate->clear();
    w.txtTimerRate_LostFocus();
    EXPECT_FALSE(w.chkTimerSend->isChecked());
    EXPECT_EQ(w.txtTimerRate->text(), "30");
    EXPECT_FALSE(w.txtTimerRate->isEnabled());
    EXPECT_FALSE(w.cmbTimerRate->isEnabled());
}

TEST(Window, TrayIconMenuAndCheckBoxesStayInStep)
{
    Program p;
    p.set("DisplayIcon", 0, kRegDword);
    p.start();
    frmMain &w = *p.window;
    EXPECT_FALSE(p.notifyArea.isVisible());

    // Minimise, restore, minimise: one icon with the first tooltip.
    w.Minimize_Click();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(p.notifyArea.isVisible());
    w.Restore_Click();
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.isMinimized());
    w.Minimize_Click();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(p.notifyArea.toolTip(), "Local IP is 10.1.2.3");
    w.Form_MouseDown(514); // a single click does nothing
    EXPECT_FALSE(w.isVisible());
    w.Form_MouseDown(515); // a double-click restores
    EXPECT_TRUE(w.isVisible());

    // The menu toggles the box, the box its mark; the tooltip follows both.
    w.Menu().ShowIP->trigger();
    EXPECT_FALSE(w.chkShowIP->isChecked());
    EXPECT_FALSE(w.Menu().ShowIP->isChecked());
    EXPECT_EQ(p.notifyArea.toolTip(), "%25 Phyical Free %99 Virtual Free ");
    w.Menu().ShowIP->trigger();
    EXPECT_TRUE(w.chkShowIP->isChecked());
    EXPECT_TRUE(w.Menu().ShowIP->isChecked());
    w.chkShowVirtualMem->setChecked(false);
    EXPECT_FALSE(w.Menu().ShowVirtMem->isChecked());
    EXPECT_EQ(p.notifyArea.toolTip(), "10.1.2.3 %25 Phyical Free ");

    // Copy IP reads the address of the moment.
    p.ip = "10.6.6.6";
    w.Menu().CopyIP->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "10.6.6.6");

    // Exit saves, removes the icon and ends.
    w.Menu().Exit->trigger();
    EXPECT_EQ(p.ended, 1);
    EXPECT_FALSE(p.notifyArea.isVisible());
    EXPECT_EQ(p.stored("ShowVirtMem"), RegistryValue {0});
}
