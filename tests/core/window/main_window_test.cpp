// SPDX-License-Identifier: MIT
#include "support/temp_folder.h"
#include "window_harness.h"

#include "core/mail/debug_log_limit.h"
#include "core/settings/hive_text.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

using namespace pellwick;
using ::testing::HasSubstr;

namespace {

using pellwick::test::WindowHarness;
using Values = std::vector<std::pair<std::string, SettingValue>>;

const std::string kCaption = "Pellwick v" PELLWICK_VERSION "! - Your IP Is ";

// What the user meets of the window and its parts after start-up.
std::map<std::string, std::string> Seen(const WindowHarness &h)
{
    const InMemoryView &v = h.view;
    return {
        {"caption", v.Caption()},
        {"tab", v.CurrentTab() == Tab::Email ? "Email" : "other"},
        {"window", std::to_string(v.WindowVisible())},
        {"icon", h.iconShown ? h.iconTip : "off"},
        {"autostart", std::to_string(h.autostart)},
        {"timer", std::to_string(h.timerRunning)},
        {"mail", h.connectedTo},
        {"clipboard", h.clipboard},
        {"debug tab", std::to_string(v.TabVisible(Tab::Debug))},
        {"exit box", std::to_string(v.Enabled(Control::AutoExit))},
        {"rate field", std::to_string(v.Enabled(Control::TimerRate))},
        {"countdown", std::to_string(h.form->Countdown())},
        {"mail box", std::to_string(v.Value(Control::AutoMail))},
        {"sources",
         std::to_string(v.Value(Control::AskRouter)) + std::to_string(v.Value(Control::AskStun))},
        {"marks", std::string(v.MenuChecked(MenuItem::ShowIp) ? "IP " : "")
                      + (v.MenuChecked(MenuItem::ShowPhysicalMemory) ? "Phy " : "")
                      + (v.MenuChecked(MenuItem::ShowVirtualMemory) ? "Virt" : "")},
    };
}

} // namespace

TEST(MainWindowLoad, StartUpShowsWhatTheStoredOptionsAsk)
{
    using Seeing = std::map<std::string, std::string>;
    // clang-format off
    const Seeing fresh {
        {"caption", kCaption + "192.0.2.7"}, {"tab", "Email"}, {"window", "1"},
        {"icon", "192.0.2.7 %25 Phyical Free %75 Virtual Free "}, {"autostart", "1"},
        {"timer", "1"}, {"mail", ""}, {"clipboard", ""}, {"debug tab", "0"},
        {"exit box", "1"}, {"rate field", "0"}, {"countdown", "0"}, {"mail box", "0"},
        {"marks", "IP Phy Virt"}, {"sources", "10"},
    };
    // The values stored, and what the user meets unlike on a fresh machine.
    for (const auto &[values, seen] : std::vector<std::pair<Values, Seeing>> {
             {{}, {}},
             // A hidden start puts the icon up even without the display option.
             {{{"StartMinimized", 1}, {"DisplayIcon", 0}}, {{"window", "0"}}},
             // Without log-in runs the exit option ends disabled.
             {{{"AutoMail", 1}, {"EmailOnIPStartup", 0}},
              {{"mail", "localhost:25"}, {"caption", "Connecting to localhost"}, {"mail box", "1"},
               {"exit box", "0"}, {"autostart", "0"}}},
             {{{"CopyClipOnStartup", 1}}, {{"clipboard", "192.0.2.7"}}},
             {{{"DisplayIcon", 0}}, {{"icon", "off"}}},
             {{{"ShowPhyMem", 0}, {"ShowIP", 0}},
              {{"marks", "Virt"}, {"icon", "%75 Virtual Free "}}},
             {{{"TimerSend", 1}, {"TimerValueType", 1}},
              {{"countdown", std::to_string(30 * 60'000)}, {"rate field", "1"}}},
             // A grey box does not count as set: no mail, and it stays grey.
             {{{"AutoMail", 2}}, {{"mail box", "2"}}},
             {{{"PublicAddressSource", 2}}, {{"sources", "11"}}},
         }) {
        // clang-format on
        WindowHarness h;
        h.Flags(values).Start();
        Seeing expected = seen;
        expected.insert(fresh.begin(), fresh.end());
        EXPECT_EQ(Seen(h), expected) << testing::PrintToString(values);
    }
}

TEST(MainWindowSettings, ExitWritesOnlyWhatTheRunChangedIntoTheRecordAsItIsThen)
{
    // Every value in the order and form a save of all of them gives.
    const std::string record = test::ReadBytes(PELLWICK_TEST_DATA "/first_save.reg");

    // Nothing changed: nothing written, values in odd forms included.
    WindowHarness same;
    same.hive.hive = *ParseHive(record);
    same.Flags({{"TimerValue", 45},
                {"AutoMail", "1"},
                {"AutoExit", 2},
                {"TimerValueType", -1},
                {"ShowIP", 7}});
    const std::string before = FormatHive(same.hive.hive);
    same.Start();
    same.hive.commits = 0;
    same.form->ExitApp();
    EXPECT_EQ(FormatHive(same.hive.hive), before);
    EXPECT_EQ(same.hive.commits, 0);

    // The subject changed here and outside: this run's wins, and the log says
    // so. The recipient and the debug box changed outside only: taken in as if
    // typed, each told once, with its priority for the journal.
    WindowHarness h;
    h.hive.hive = *ParseHive(record);
    h.lines = {true, true};
    MainWindow &form = h.Start();
    h.view.SetText(Control::Subject, "Moved to [IPADDRESS]");
    h.Flags({{"Subject", "edited outside"}, {"Recipient", "ops@example.org"}, {"ShowDebug", 1}});
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    form.StoredSettingsChanged();
    form.StoredSettingsChanged();
    EXPECT_EQ(h.view.Text(Control::Recipient), "ops@example.org");
    EXPECT_EQ(h.view.Text(Control::Subject), "Moved to [IPADDRESS]");
    EXPECT_TRUE(h.view.TabVisible(Tab::Debug));
    h.hive.commits = 0;
    form.ExitApp();
    const std::string taken = " was changed outside Pellwick; it is used from now on.\n";
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "<6>pellwick: The stored value Recipient" + taken
                  + "<6>pellwick: The stored value ShowDebug" + taken);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "<4>pellwick: The stored value Subject was also changed outside Pellwick while it "
              "ran; Pellwick's value was kept.\n");
    std::string expected = std::regex_replace(record, std::regex("\"Subject\"=.*\r\n"),
                                              "\"Subject\"=\"Moved to [IPADDRESS]\"\r\n");
    expected = std::regex_replace(expected, std::regex("root@localhost"), "ops@example.org");
    expected = std::regex_replace(expected, std::regex("\"ShowDebug\"=dword:00000000"),
                                  "\"ShowDebug\"=dword:00000001");
    EXPECT_EQ(FormatHive(h.hive.hive), expected);
    EXPECT_EQ(h.hive.commits, 1);
}

TEST(MainWindowSettings, HandedOverCommandsActOnTheLiveValuesAsIfTypedAndSaveAtOnce)
{
    WindowHarness h;
    MainWindow &form = h.Start();
    h.view.SetText(Control::Sender, "typed@example.org"); // in the window, not yet saved
    const std::string longName(256, 'x');
    // The arguments, the status, the start of the output, all of the errors.
    using Row = std::tuple<std::vector<std::string>, int, std::string, std::string>;
    // clang-format off
    for (const auto &[arguments, status, out, err] : std::vector<Row> {
             {{"--set", "smtpserver=mail.example.org", "SMTPPORT=587", "TimerSend=1",
               "TimerValue=2"}, 0, "", ""},
             {{"--get", "SENDER"}, 0, "typed@example.org\n", ""},
             {{"--set", "Subject=x", "SMTPServer=" + longName}, 64, "",
              "pellwick: SMTPServer=" + longName + ": longer than 255 characters\n"},
             {{"--set", "Nope=1"}, 64, "", "pellwick: no stored value is named Nope (--list "
                                           "names them all)\n"},
             {{"--get", "SMTPPort=1"}, 64, "", "pellwick: SMTPPort=1: a NAME expected, without "
                                               "a value\n"},
             {{"--unset", "smtpport"}, 0, "", ""},
             {{"--list"}, 0, "SMTPServer        string \"mail.example.org\"\n"
                             "Recipient         string \"root@localhost\"  (default)\n", ""},
             {{"--status"}, 0, "Address: 192.0.2.7\nLast mail: none since the start\nNext mail: "
                               "scheduled in 2 s, and one at every change of the address\n", ""},
         }) {
        // clang-format on
        SCOPED_TRACE(testing::PrintToString(arguments));
        const HandOverReply reply = form.HandedOver({InstanceRequest::Command, arguments});
        const std::string shown = out.empty() ? reply.out : reply.out.substr(0, out.size());
        EXPECT_EQ(std::tie(reply.status, shown, reply.err), std::tie(status, out, err));
    }
    // Shown as typed, with the timer's handler run; saved (the typed sender
    // too), the port back at its default, nothing of a refused --set.
    EXPECT_EQ(h.view.Text(Control::SmtpServer), "mail.example.org");
    EXPECT_TRUE(h.view.Enabled(Control::TimerRate));
    EXPECT_EQ(h.Stored("SMTPServer"), SettingValue("mail.example.org"));
    EXPECT_EQ(h.Stored("Sender"), SettingValue("typed@example.org"));
    EXPECT_EQ(h.Stored("SMTPPort"), SettingValue(25));
    EXPECT_EQ(h.Stored("Subject"), std::nullopt);
    form.UserClicked(Control::SendEmailButton);
    h.End(DeliveryResult::Delivered, "250 OK");
    EXPECT_THAT(form.StatusText(), HasSubstr("\nLast mail: Sun, 06 Dec 2026 "));
    EXPECT_THAT(form.StatusText(), HasSubstr(", to root@localhost, delivered: 250 OK\n"));
    h.view.SetWindowVisible(false);
    form.HandedOver({InstanceRequest::Show, {}});
    EXPECT_TRUE(h.view.WindowVisible());
}

TEST(MainWindowMail, TheServerDialogSetsSubmissionTrustsTheShownCertificateAndNeverSavesThePassword)
{
    struct Parts
        : ServerDialog
        , PasswordStore
    {
        std::optional<Result> Edit(const SubmissionSettings &, const std::string &shown) override
        {
            return Result {{465, 2, "alice", shown}, "pa55word"}; // "Trust this certificate"
        }
        PasswordLookup Lookup(const std::string &server, const std::string &user) override
        {
            return {kept.at(user + "@" + server), {}};
        }
        std::string Store(const std::string &server, const std::string &user,
                          const std::string &password) override
        {
            kept[user + "@" + server] = password;
            return {};
        }
        std::map<std::string, std::string> kept;
    } parts;
    WindowHarness h;
    h.serverDialog = &parts;
    h.passwordStore = &parts;
    MainWindow &form = h.Flags({{"SMTPPort", 465}, {"SMTPSecurity", 2}}).Start();
    const TlsPeer selfSigned {std::string(64, 'C'), false, "self-signed certificate"};
    form.UserClicked(Control::SendEmailButton);
    EXPECT_EQ(h.connectedTo, "tls localhost:465");
    h.Encrypted(selfSigned);
    EXPECT_EQ(h.connectedTo, "") << "an untrusted certificate ends the dialogue";

    form.UserClicked(Control::ServerButton);
    form.UserClicked(Control::SendEmailButton);
    h.Encrypted(selfSigned);
    form.DataArrived(h.Arrive("220 hi\r\n"));
    form.DataArrived(h.Arrive("250-mx\r\n250 AUTH PLAIN\r\n"));
    EXPECT_EQ(h.wire, "EHLO localhost\r\nAUTH PLAIN AGFsaWNlAHBhNTV3b3Jk\r\n") << "pinned";
    form.ExitApp();
    EXPECT_EQ(h.Stored("SMTPPin"), SettingValue {std::string(64, 'C')});
    for (const HiveValue &value : h.hive.hive.Sections().at(0).values)
        EXPECT_EQ(value.data.find("pa55"), std::string::npos) << value.name;
    EXPECT_EQ(h.view.Text(Control::DebugText).find("pa55"), std::string::npos);
}

TEST(MainWindowTimer, TheIpv6AddressFillsItsTokenAndAMoveIsMailedOnce)
{
    WindowHarness h;
    // The subject of the mail the last step started, or "retry" when an
    // automatic one is held back.
    const auto mailed = [&h] {
        std::smatch subject;
        const std::string wire = h.connectedTo.empty() ? "" : h.Converse();
        h.connectedTo.clear();
        if (std::regex_search(wire, subject, std::regex("Subject: at (.*)\r\n")))
            return subject[1].str();
        return std::string(h.view.Caption() == RetryCaption(30'000) ? "retry" : "");
    };
    h.Flags({{"Subject", "at [IPV6ADDRESS]"}});
    MainWindow &form = h.Start();
    // Not known yet: the button mails "unknown" and the log says why.
    form.UserClicked(Control::SendEmailButton);
    EXPECT_EQ(mailed(), "unknown");
    EXPECT_THAT(form.DebugLog(), HasSubstr("The IPv6 address is not known yet."));
    h.End(DeliveryResult::Delivered);

    // Each step: the address now, whether the local IP moves too, what is mailed.
    using Step = std::tuple<std::optional<std::string>, const char *, const char *>;
    for (const auto &[ipv6, localIp, subject] : {
             Step {"2001:db8::1", "192.0.2.7", "2001:db8::1"},
             // None for a while, then the same one back: no move.
             Step {std::nullopt, "192.0.2.7", ""},
             Step {"2001:db8::1", "192.0.2.7", ""},
             // Both move at once: one mail.
             Step {"2001:db8::2", "192.0.2.8", "2001:db8::2"},
             // An automatic mail while it is unknown is a passing failure,
             // retried at once when an address arrives.
             Step {std::nullopt, "192.0.2.9", "retry"},
             Step {"2001:db8::3", "192.0.2.9", "2001:db8::3"},
         }) {
        h.ipv6 = ipv6;
        h.localIp = localIp;
        form.AddressChanged();
        EXPECT_EQ(mailed(), subject) << ipv6.value_or("none");
        h.End(DeliveryResult::Delivered);
    }
}

TEST(MainWindowTimer, TicksFollowTheAddressTheTipKeepsTheFiguresOfTheMove)
{
    WindowHarness h;
    MainWindow &form = h.Flags({{"StartMinimized", 1}, {"AutoEmailOnNewIP", 0}}).Start();
    // A new address rebuilds the tooltip with the figures of that moment; without
    // the box it is not mailed.
    h.memory.availablePhysical = 4'000'000'000;
    h.localIp = "198.51.100.4";
    h.Tick();
    EXPECT_EQ(h.iconTip, "198.51.100.4 %50 Phyical Free %75 Virtual Free ");
    EXPECT_EQ(h.view.Caption(), kCaption + "198.51.100.4");
    EXPECT_EQ(h.connectedTo, "");

    // Brought back, the About tab shows the figures of now; the tip keeps its own.
    h.memory.availablePhysical = 6'000'000'000;
    h.Tick();
    form.MenuItemChosen(MenuItem::Restore);
    EXPECT_EQ(h.view.Text(Control::PhysicalMemory),
              "%75 Physical Mem Available. (6000000KB of 8000000KB)");
    EXPECT_THAT(h.iconTip, HasSubstr(" %50 "));

    // With the box checked, a new address is mailed, even none.
    h.view.SetValue(Control::EmailOnNewIp, kChecked);
    h.localIp = "";
    h.Tick();
    EXPECT_EQ(h.connectedTo, "localhost:25");

    // Loaded values run their handlers (the start-up table). The menu sets ShowIp
    // to the value it already holds: its handler does not run, so the mark the
    // user cleared by hand is only restored by the menu's own step.
    h.view.SetMenuChecked(MenuItem::ShowIp, false);
    h.view.SetValue(Control::ShowIp, kChecked);
    form.MenuItemChosen(MenuItem::ShowIp);
    EXPECT_TRUE(h.view.MenuChecked(MenuItem::ShowIp));
    EXPECT_EQ(h.view.Value(Control::ShowIp), kChecked);
}

TEST(MainWindowTimer, ScheduleMailsAtItsRateAndOnlyAfterStartUp)
{
    WindowHarness h;
    MainWindow &form
        = h.Flags({{"AutoEmailOnNewIP", 0}, {"TimerSend", 1}, {"TimerValue", "12"}}).Make();
    form.Tick();
    EXPECT_EQ(form.Countdown(), 0) << "no tick before start-up";
    form.Start();
    // Twelve seconds are three ticks of five.
    for (int tick = 0; tick < 3; ++tick) {
        EXPECT_EQ(h.connectedTo, "") << tick;
        form.Tick();
    }
    EXPECT_EQ(h.connectedTo, "localhost:25");
}

TEST(MainWindowRetry, AutomaticMailsAreRetriedOnTheTimetableAndTheButtonIsNot)
{
    WindowHarness h;
    h.commandLine = "/s";
    h.Flags({{"AutoMail", 1}, {"AutoExit", 1}}).Start();
    ASSERT_EQ(h.connectedTo, "localhost:25");

    // Each failed try waits its step of the timetable, told in the caption;
    // the log-in run stays up meanwhile.
    for (const std::int64_t wait : {30, 60, 120, 240, 480, 900, 900}) {
        h.End(DeliveryResult::PassingFailure);
        EXPECT_EQ(h.view.Caption(), RetryCaption(wait * 1000));
        h.connectedTo.clear();
        h.Tick(wait * 1000 - 1000);
        EXPECT_EQ(h.connectedTo, "") << wait;
        EXPECT_EQ(h.processEnds, 0);
        h.Tick(1000);
        EXPECT_EQ(h.connectedTo, "localhost:25") << wait;
    }
    // Only the first failure was told.
    EXPECT_EQ(h.balloons, std::vector<std::string> {
                              "Pellwick: the email was not sent|451 try later\nRetrying in 30 s."});
}

TEST(MainWindowRetry, EndingsDecideBalloonAndEachLetsALoginRunExit)
{
    // Sent by the button, the notice box, how it ended, whether a balloon came.
    using Row = std::tuple<bool, int, DeliveryResult, bool>;
    for (const auto &[button, notifyBox, result, balloon] : {
             Row {false, 1, DeliveryResult::RefusedForGood, true},
             Row {false, 0, DeliveryResult::RefusedForGood, false},
             Row {false, 1, DeliveryResult::Delivered, false},
             Row {true, 1, DeliveryResult::PassingFailure, true},
         }) {
        WindowHarness h;
        h.commandLine = "-s";
        MainWindow &form
            = h.Flags({{"AutoExit", 1}, {"NotifyOnFailure", notifyBox}, {"AutoEmailOnNewIP", 1}})
                  .Start();
        if (button) {
            form.UserClicked(Control::SendEmailButton);
        } else {
            h.localIp = "198.51.100.4";
            form.AddressChanged();
        }
        h.End(result, "550 no such user");
        EXPECT_EQ(h.balloons.size(), balloon ? 1u : 0u) << int(result) << button;
        EXPECT_GE(h.processEnds, 1) << "each ending lets a log-in run exit";
    }
}

TEST(MainWindowDebugLog, KeepsTheNewestMebibyteFromALineStart)
{
    WindowHarness h;
    MainWindow &form = h.Start();
    const std::string line(1023, 'x');
    for (int i = 0; i < 1024; ++i)
        form.AppendToDebugLog(line + "\n");
    form.AppendToDebugLog("new\r\n"); // one byte over the mebibyte: the oldest line goes
    EXPECT_EQ(h.view.Text(Control::DebugText).size(), 1023u * 1024u + 5u);
    EXPECT_TRUE(h.view.Text(Control::DebugText).starts_with(line + "\n"));

    // The same rule at any limit.
    using Row = std::tuple<std::string, std::string, std::size_t, std::string>;
    for (const auto &[before, text, limit, kept] : {
             Row {"", "abc\r\n", 5, "abc\r\n"}, // exactly at the limit: nothing goes
             Row {"a\nbb\nccc\n", "d\n", 6, "ccc\nd\n"},
             Row {"", "one line far too long\n", 4, ""}, // no line fits: nothing half kept
         }) {
        std::string log = before;
        const std::string dropped = AppendToBoundedLog(log, text, limit);
        EXPECT_EQ(log, kept) << before << "|" << text;
        EXPECT_EQ(dropped + log, before + text);
    }
}

TEST(MainWindowExit, ExitSavesRemovesTheIconStopsAndEndsOnceAndAFailedSaveIsToldToTheUser)
{
    // The window's close box or an automatic exit, the save failing. Only a user
    // who asked to leave is told. (The end-to-end tray run exits by the menu.)
    for (const bool automatic : {false, true}) {
        WindowHarness h;
        MainWindow &form = h.Start();
        h.hive.failCommits = true;
        h.view.SetText(Control::Recipient, "ops@example.org");
        automatic ? form.ExitApp() : form.WindowClosed();
        form.Tick();
        EXPECT_EQ(h.Stored("Recipient"), SettingValue {std::string("ops@example.org")});
        EXPECT_FALSE(h.iconShown);
        EXPECT_FALSE(h.timerRunning);
        EXPECT_EQ(std::tie(h.processEnds, h.exitStatus), std::tuple(1, 1)) << automatic;
        EXPECT_EQ(
            h.view.saveFailures,
            std::vector<std::string>(automatic ? 0 : 1, "registry.reg: no space left on device"));
    }
}

TEST(MainWindowPublicIp, AskedOnlyForTheTokenEachMoveMailedOnceAndAnUnknownOneRetried)
{
    // A template without the token asks nobody.
    WindowHarness plain;
    plain.Flags({{"EmailOnIPStartup", 1}, {"AutoMail", 1}}).Start();
    plain.form->AddressChanged();
    plain.Tick();
    EXPECT_TRUE(plain.datagrams.sent.empty());
    EXPECT_FALSE(plain.datagrams.open);
    EXPECT_EQ(plain.connects, 1);

    WindowHarness h;
    h.Flags({{"Subject", "Public [PUBLICIPADDRESS], local [IPADDRESS]"}});
    MainWindow &form = h.Flags({{"AutoMail", 1}, {"AutoEmailOnNewIP", 1}}).Start();
    // The start-up mail waits for the router's answer.
    ASSERT_EQ(h.datagrams.sent.size(), 1u);
    EXPECT_EQ(h.connects, 0);
    h.datagrams.RouterSays(100, 0xCB007107);
    EXPECT_THAT(h.Converse(), HasSubstr("Subject: Public 203.0.113.7, local 192.0.2.7\r\n"));
    EXPECT_EQ(h.view.Text(Control::KnownAddresses), "Local IP: 192.0.2.7\nPublic IP: 203.0.113.7");
    h.End(DeliveryResult::Delivered, "250 ok");

    // Another network: the local move waits for the router, and both go in one mail.
    h.localIp = "198.51.100.4";
    form.AddressChanged();
    EXPECT_EQ(h.connects, 1);
    h.datagrams.RouterSays(5, 0xCB007109);
    EXPECT_EQ(h.connects, 2);
    EXPECT_THAT(h.Converse(), HasSubstr("Subject: Public 203.0.113.9, local 198.51.100.4\r\n"));
    h.End(DeliveryResult::Delivered, "250 ok");
    for (int i = 0; i < 3; ++i)
        h.Tick();
    EXPECT_EQ(h.connects, 2);

    // On the next one the router never answers and no STUN server is named:
    // the mail is retried, and goes at once when the router's five-minute
    // asking is answered.
    h.localIp = "198.51.100.5";
    form.AddressChanged();
    for (int i = 0; i < kNatPmpRetransmission.tries; ++i)
        h.addressDeadline.Expire();
    EXPECT_EQ(h.connects, 2);
    EXPECT_THAT(form.DebugLog(), HasSubstr("The public address is not known yet.\r\n"));
    EXPECT_THAT(h.view.Caption(), HasSubstr("Retrying in 30 s"));
    h.addressDeadline.Expire();
    h.datagrams.RouterSays(100, 0xCB007107);
    EXPECT_EQ(h.connects, 3);
    EXPECT_THAT(h.Converse(), HasSubstr("Subject: Public 203.0.113.7, local 198.51.100.5\r\n"));
}

TEST(SettingsTrust, UnreadableSettingsMailNobodyAndStayAsTheyAre)
{
    const std::string cause
        = "cannot read the settings file /h/registry.reg: it is not a regular file";
    // The window, a log-in run with a tray and one without; ticks till it ends (-1: never).
    using Row = std::tuple<const char *, bool, int>;
    for (const auto &[commandLine, trayHost, ticksToEnd] :
         {Row {"", true, -1}, Row {"/s", true, 2}, Row {"/s", false, 0}}) {
        SCOPED_TRACE(testing::Message() << commandLine << trayHost);
        WindowHarness h;
        h.hive.unreadable = cause;
        h.commandLine = commandLine;
        h.trayHost = trayHost;
        testing::internal::CaptureStderr();
        MainWindow &form = h.Start();
        for (int tick = 0; tick < ticksToEnd; ++tick) {
            EXPECT_EQ(h.processEnds, 0);
            h.Tick();
        }
        const std::string err = testing::internal::GetCapturedStderr();
        // The defaults would mail to this machine's root at a new address.
        h.localIp = "192.0.2.8";
        form.AddressChanged();
        h.Tick();
        EXPECT_EQ(h.connectedTo, "");
        EXPECT_FALSE(h.autostart);
        if (ticksToEnd < 0) {
            ASSERT_EQ(h.view.notices.size(), 1u);
            EXPECT_THAT(h.view.notices[0], HasSubstr(cause + ".\n\nThe window shows the default"));
            EXPECT_EQ(err, "");
            // The user's own button still mails what the window shows.
            form.UserClicked(Control::SendEmailButton);
            EXPECT_EQ(h.connectedTo, "localhost:25");
            form.ExitApp();
            EXPECT_EQ(h.exitStatus, 0);
        } else {
            EXPECT_EQ(h.exitStatus, 78);
            EXPECT_EQ(err, "Pellwick: the settings were not read: " + cause
                               + "; nothing was sent and the file was left as it is\n");
            EXPECT_EQ(h.balloons.size(), trayHost ? 1u : 0u);
        }
        EXPECT_EQ(h.hive.commits, 0);
    }
}

TEST(SettingsTrust, EveryOutcomeIsToldAndALogInRunEndsWithItsStatus)
{
    // The run, the recipient, how each try ends, standard output and error, the status.
    using Row = std::tuple<const char *, const char *, std::vector<DeliveryResult>, std::string,
                           std::string, int>;
    const std::string later = "<4>Pellwick: the email was not sent: 451 try later Retrying in ";
    using enum DeliveryResult;
    const char *const causes[] = {"250 ok", "451 try later", "550 no"}; // by DeliveryResult
    // clang-format off
    const Row rows[] = {
        {"two failures then delivered", "root@localhost",
         {PassingFailure, PassingFailure, Delivered},
         "<6>Pellwick: the email was sent: 250 ok\n", later + "30 s.\n" + later + "1 min.\n", 0},
        {"refused for good", "root@localhost", {RefusedForGood}, "",
         "<3>Pellwick: the email was not sent: 550 no\n", 69},
        {"a recipient that is no address", "a@example.org>, <evil@x", {}, "",
         "<3>Pellwick: the email was not sent: The recipient \"a@example.org>\" is not an email "
         "address.\n", 78},
    };
    // clang-format on
    for (const auto &[run, recipient, tries, out, err, status] : rows) {
        SCOPED_TRACE(run);
        WindowHarness h;
        h.trayHost = false;
        h.commandLine = "/s";
        h.lines = {true, true}; // the journal reads both streams
        h.Flags({{"Recipient", std::string(recipient)}, {"AutoMail", 1}, {"AutoExit", 1}});
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        h.Start();
        for (std::size_t i = 0; i < tries.size(); ++i) {
            if (i > 0)
                h.Tick(i == 1 ? 30'000 : 60'000);
            EXPECT_EQ(h.connectedTo, "localhost:25");
            h.End(tries[i], causes[static_cast<int>(tries[i])]);
        }
        const std::string printed = testing::internal::GetCapturedStdout();
        EXPECT_EQ(std::tie(printed, h.processEnds, h.exitStatus), std::tuple(out, 1, status));
        EXPECT_EQ(testing::internal::GetCapturedStderr(), err);
    }
}
