// SPDX-License-Identifier: MIT
#include "support/temp_folder.h"
#include "window_harness.h"

#include "core/settings/hive_text.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

using namespace pellwick;
using pellwick::test::ReadBytes;
using pellwick::test::WindowHarness;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

const std::filesystem::path kData = PELLWICK_TEST_DATA;
const std::string kTip = "192.0.2.7 %25 Phyical Free %75 Virtual Free ";

// What the user meets of the window and its parts after start-up.
std::map<std::string, std::string> Seen(const WindowHarness &h)
{
    const InMemoryView &v = h.view;
    const auto on = [](bool shown) {
        return shown ? "on" : "off";
    };
    return {
        {"caption", v.Caption()},
        {"tab", v.CurrentTab() == Tab::Email ? "Email" : "other"},
        {"window", on(v.WindowVisible())},
        {"icon", h.iconShown ? h.iconTip : "off"},
        {"autostart", on(h.autostart)},
        {"timer", on(h.timerRunning)},
        {"mail", h.connectedTo},
        {"clipboard", h.clipboard},
        {"debug tab", on(v.TabVisible(Tab::Debug))},
        {"exit box", on(v.Enabled(Control::AutoExit))},
        {"rate field", on(v.Enabled(Control::TimerRate))},
        {"countdown", std::to_string(h.form->Countdown())},
        {"mail box", std::to_string(v.Value(Control::AutoMail))},
        {"marks", std::string(v.MenuChecked(MenuItem::ShowIp) ? "IP " : "")
                      + (v.MenuChecked(MenuItem::ShowPhysicalMemory) ? "Phy " : "")
                      + (v.MenuChecked(MenuItem::ShowVirtualMemory) ? "Virt" : "")},
    };
}

} // namespace

TEST(MainWindowLoad, StartUpShowsWhatTheStoredOptionsAsk)
{
    using Seeing = std::map<std::string, std::string>;
    // The flags stored, and what the user meets unlike on a fresh machine.
    using Row = std::pair<std::vector<std::pair<std::string, std::int32_t>>, Seeing>;
    // clang-format off
    const Seeing fresh {
        {"caption", "Pellwick v" PELLWICK_VERSION "! - Your IP Is 192.0.2.7"}, {"tab", "Email"},
        {"window", "on"}, {"icon", kTip}, {"autostart", "on"}, {"timer", "on"}, {"mail", ""},
        {"clipboard", ""}, {"debug tab", "off"}, {"exit box", "on"}, {"rate field", "off"},
        {"countdown", "0"}, {"mail box", "0"}, {"marks", "IP Phy Virt"},
    };
    // clang-format on
    const std::vector<Row> cases {
        {{}, {}},
        // A hidden start puts the icon up even without the display option.
        {{{"StartMinimized", 1}, {"DisplayIcon", 0}}, {{"window", "off"}}},
        {{{"DisplayIcon", 0}}, {{"icon", "off"}}},
        // Without log-in runs the exit option ends disabled.
        {{{"AutoMail", 1}, {"EmailOnIPStartup", 0}},
         {{"mail", "localhost:25"},
          {"caption", "Connecting to localhost"},
          {"mail box", "1"},
          {"exit box", "off"},
          {"autostart", "off"}}},
        {{{"CopyClipOnStartup", 1}}, {{"clipboard", "192.0.2.7"}}},
        {{{"ShowDebug", 1}}, {{"debug tab", "on"}}},
        {{{"ShowPhyMem", 0}, {"ShowIP", 0}}, {{"marks", "Virt"}, {"icon", "%75 Virtual Free "}}},
        {{{"TimerSend", 1}, {"TimerValueType", 1}},
         {{"countdown", std::to_string(30 * 60'000)}, {"rate field", "on"}}},
        // A grey box does not count as set: no mail, and it stays grey.
        {{{"AutoMail", 2}}, {{"mail box", "2"}}},
    };
    for (const auto &[flags, seen] : cases) {
        WindowHarness h;
        for (const auto &[name, value] : flags)
            h.Store(name, value);
        h.Start();
        Seeing expected = seen;
        expected.insert(fresh.begin(), fresh.end());
        EXPECT_EQ(Seen(h), expected) << testing::PrintToString(flags);
    }
}

TEST(MainWindowSettings, ExitWritesOnlyWhatTheRunChangedIntoTheRecordAsItIsThen)
{
    // Every value in the order and form a save of all of them gives.
    const std::string record = ReadBytes(kData / "first_save.reg");

    // Nothing changed: nothing written, values in odd forms included.
    WindowHarness same;
    same.hive.hive = *ParseHive(record);
    same.Store("TimerValue", std::int32_t {45});
    same.Store("AutoMail", std::string("1"));
    same.Flags({{"AutoExit", 2}, {"TimerValueType", -1}, {"ShowIP", 7}});
    const std::string before = FormatHive(same.hive.hive);
    same.Start();
    same.hive.commits = 0;
    same.form->ExitApp();
    EXPECT_EQ(FormatHive(same.hive.hive), before);
    EXPECT_EQ(same.hive.commits, 0);

    // The subject changed here and outside: this run's wins, and the log says
    // so. The recipient changed outside only, and stays.
    WindowHarness h;
    h.hive.hive = *ParseHive(record);
    MainWindow &form = h.Start();
    h.view.SetText(Control::Subject, "Moved to [IPADDRESS]");
    h.Store("Subject", std::string("edited outside"));
    h.Store("Recipient", std::string("ops@example.org"));
    h.hive.commits = 0;
    form.ExitApp();
    std::string expected = std::regex_replace(record, std::regex("\"Subject\"=.*\r\n"),
                                              "\"Subject\"=\"Moved to [IPADDRESS]\"\r\n");
    expected = std::regex_replace(expected, std::regex("root@localhost"), "ops@example.org");
    EXPECT_EQ(FormatHive(h.hive.hive), expected);
    EXPECT_EQ(h.hive.commits, 1);
    EXPECT_THAT(form.DebugLog(), HasSubstr("The stored value Subject was also changed outside"));
    EXPECT_THAT(form.DebugLog(), Not(HasSubstr("Recipient")));
}

TEST(MainWindowMail, TheServerDialogSetsSubmissionTrustsTheShownCertificateAndNeverSavesThePassword)
{
    struct Parts
        : ServerDialog
        , PasswordStore
    {
        std::optional<Result> Edit(const SubmissionSettings &current,
                                   const std::string &presented) override
        {
            Result result {current, "pa55word"};
            result.settings = {465, 2, "alice", presented}; // "Trust this certificate"
            return result;
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
    form.UserClicked(Control::SendEmailButton);
    EXPECT_EQ(h.connectedTo, "tls localhost:465");
    h.Encrypted({std::string(64, 'C'), false, "self-signed certificate"});
    EXPECT_EQ(h.connectedTo, "") << "an untrusted certificate ends the dialogue";

    form.UserClicked(Control::ServerButton);
    form.UserClicked(Control::SendEmailButton);
    h.Encrypted({std::string(64, 'C'), false, "self-signed certificate"});
    form.DataArrived(h.Arrive("220 hi\r\n"));
    form.DataArrived(h.Arrive("250-mx\r\n250 AUTH PLAIN\r\n"));
    EXPECT_EQ(h.wire, "EHLO localhost\r\nAUTH PLAIN AGFsaWNlAHBhNTV3b3Jk\r\n") << "pinned";
    form.ExitApp();
    EXPECT_EQ(h.Stored("SMTPPin"), SettingValue {std::string(64, 'C')});
    for (const HiveValue &value : h.hive.hive.Sections().at(0).values)
        EXPECT_EQ(value.data.find("pa55"), std::string::npos) << value.name;
    EXPECT_EQ(h.view.Text(Control::DebugText).find("pa55"), std::string::npos);
}

TEST(MainWindowTimer, TickFollowsTheAddressAndMailsANewOne)
{
    WindowHarness h;
    MainWindow &form = h.Flags({{"AutoEmailOnNewIP", 0}}).Start();
    form.Tick();
    EXPECT_EQ(h.connectedTo, "");
    h.localIp = "198.51.100.4";
    h.memory.availablePhysical = 4'000'000'000;
    form.Tick();
    EXPECT_EQ(h.view.Caption(), "Pellwick v" PELLWICK_VERSION "! - Your IP Is 198.51.100.4");
    EXPECT_EQ(h.view.Text(Control::PhysicalMemory),
              "%50 Physical Mem Available. (4000000KB of 8000000KB)");
    EXPECT_EQ(h.connectedTo, "");

    h.view.SetValue(Control::EmailOnNewIp, kChecked);
    h.localIp = "";
    form.Tick();
    EXPECT_EQ(h.connectedTo, "localhost:25");
}

TEST(MainWindowTimer, HiddenTicksReadMemoryOnlyForWhatShowsIt)
{
    WindowHarness h;
    MainWindow &form = h.Flags({{"StartMinimized", 1}, {"AutoEmailOnNewIP", 0}}).Start();
    EXPECT_FALSE(h.view.WindowVisible());
    h.memory.availablePhysical = 4'000'000'000;
    for (int i = 0; i < 3; ++i)
        h.Tick();
    EXPECT_EQ(h.memoryReads, 1);

    // A new address rebuilds the tooltip with the figures of that moment.
    h.localIp = "198.51.100.4";
    h.Tick();
    EXPECT_EQ(h.memoryReads, 2);
    EXPECT_EQ(h.iconTip, "198.51.100.4 %50 Phyical Free %75 Virtual Free ");

    // Brought back, the About tab shows them at once and follows every tick.
    h.memory.availablePhysical = 6'000'000'000;
    h.Tick();
    form.MenuItemChosen(MenuItem::Restore);
    EXPECT_EQ(h.view.Text(Control::PhysicalMemory),
              "%75 Physical Mem Available. (6000000KB of 8000000KB)");
    h.Tick();
    EXPECT_EQ(h.memoryReads, 4);
}

TEST(MainWindowTimer, ScheduleMailsAtItsRateAndOnlyAfterStartUp)
{
    // The rate in seconds, and the ticks of five seconds until the first mail.
    for (const auto &[rate, ticksToFirstMail] :
         std::map<std::string, int> {{"30", 6}, {"12", 3}, {"0", 1}}) {
        SCOPED_TRACE(rate);
        WindowHarness h;
        h.Flags({{"AutoEmailOnNewIP", 0}, {"TimerSend", 1}});
        h.Store("TimerValue", rate);
        MainWindow &form = h.Make();
        form.Tick();
        EXPECT_EQ(form.Countdown(), 0) << "no tick before start-up";
        form.Start();
        int ticks = 0;
        while (h.connectedTo.empty() && ticks < 10) {
            form.Tick();
            ++ticks;
        }
        EXPECT_EQ(ticks, ticksToFirstMail);
    }
}

TEST(MainWindowTray, MenuTogglesMinimiseAndRestore)
{
    WindowHarness h;
    MainWindow &form = h.Flags({{"DisplayIcon", 0}}).Start();

    form.MenuItemChosen(MenuItem::Minimize);
    EXPECT_FALSE(h.view.WindowVisible());
    EXPECT_TRUE(h.iconShown);
    EXPECT_EQ(h.iconTip, "Local IP is 192.0.2.7");
    form.TrayIconClicked(TrayClick::OpenMenu);
    EXPECT_FALSE(h.view.WindowVisible());
    EXPECT_EQ(h.view.menuPopups, 1);
    form.TrayIconClicked(TrayClick::OpenWindow);
    EXPECT_TRUE(h.view.WindowVisible());
    EXPECT_EQ(h.view.State(), WindowState::Normal);
    EXPECT_TRUE(h.iconShown);

    form.MenuItemChosen(MenuItem::CopyIp);
    EXPECT_EQ(h.clipboard, "192.0.2.7");
}

TEST(MainWindowCheckBoxes, AChangedValueRunsItsHandlerAndTheHeldValueRunsNothing)
{
    WindowHarness h;
    MainWindow &form = h.Start();
    for (const auto &[box, value] : {std::pair {Control::DisplayIcon, kUnchecked},
                                     {Control::ShowDebug, kChecked},
                                     {Control::EmailIpOnStartup, kUnchecked}}) {
        h.view.SetValue(box, value);
        form.UserChangedValue(box);
    }
    EXPECT_FALSE(h.iconShown);
    EXPECT_TRUE(h.view.TabVisible(Tab::Debug));
    EXPECT_FALSE(h.autostart);
    EXPECT_FALSE(h.view.Enabled(Control::AutoExit));

    // The menu sets ShowIp to the value it already holds: its handler does
    // not run, so the mark the user cleared by hand is only restored by the
    // menu's own step.
    h.view.SetMenuChecked(MenuItem::ShowIp, false);
    h.view.SetValue(Control::ShowIp, kChecked);
    form.MenuItemChosen(MenuItem::ShowIp);
    EXPECT_TRUE(h.view.MenuChecked(MenuItem::ShowIp));
    EXPECT_EQ(h.view.Value(Control::ShowIp), kChecked);
}

TEST(MainWindowRetry, AutomaticMailsAreRetriedOnTheTimetableAndTheButtonIsNot)
{
    WindowHarness h;
    h.commandLine = "/s";
    MainWindow &form = h.Flags({{"AutoMail", 1}, {"AutoExit", 1}}).Start();
    ASSERT_EQ(h.connectedTo, "localhost:25");

    // Each failed try waits its step of the timetable, told in the caption;
    // the log-in run stays up meanwhile.
    const std::int64_t waits[] = {30, 60, 120, 240, 480, 900, 900};
    for (const std::int64_t wait : waits) {
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

    // A newer address replaces the pending retry: one mail, sent at once.
    h.End(DeliveryResult::PassingFailure);
    h.connectedTo.clear();
    h.localIp = "198.51.100.4";
    form.AddressChanged();
    EXPECT_EQ(h.connectedTo, "localhost:25");
    h.connectedTo.clear();
    h.Tick(900'000);
    EXPECT_EQ(h.connectedTo, "") << "the replaced retry is gone";
}

TEST(MainWindowRetry, EndingsDecideBalloonAndEachLetsALoginRunExit)
{
    // Sent by the button, the notice box, how it ended, whether a balloon came.
    using Row = std::tuple<bool, bool, DeliveryResult, bool>;
    for (const auto &[button, notifyBox, result, balloon] : {
             Row {false, true, DeliveryResult::RefusedForGood, true},
             Row {false, false, DeliveryResult::RefusedForGood, false},
             Row {false, true, DeliveryResult::Delivered, false},
             Row {true, true, DeliveryResult::PassingFailure, true},
         }) {
        WindowHarness h;
        h.commandLine = "-s";
        MainWindow &form = h.Flags({{"AutoExit", 1},
                                    {"NotifyOnFailure", notifyBox ? 1 : 0},
                                    {"AutoEmailOnNewIP", 1}})
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
    EXPECT_EQ(h.view.Text(Control::DebugText).size(), 1024u * 1024u);
    form.AppendToDebugLog("new\r\n");
    EXPECT_EQ(h.view.Text(Control::DebugText).size(), 1023u * 1024u + 5u);
    EXPECT_TRUE(h.view.Text(Control::DebugText).starts_with(line + "\n"));
}

TEST(MainWindowExit, ExitSavesRemovesTheIconStopsAndEndsOnceAndAFailedSaveIsToldToTheUser)
{
    // The menu's Exit, the window's close box or an automatic exit; whether the
    // save fails. Only a user who asked to leave is told.
    for (const auto &[how, saveFails] : std::vector<std::pair<std::string, bool>> {
             {"menu", false}, {"close box", true}, {"automatic", true}}) {
        SCOPED_TRACE(how);
        WindowHarness h;
        MainWindow &form = h.Start();
        h.hive.failCommits = saveFails;
        h.view.SetText(Control::Recipient, "ops@example.org");
        if (how == "menu")
            form.MenuItemChosen(MenuItem::Exit);
        if (how == "automatic")
            form.ExitApp();
        else
            form.WindowClosed();
        form.Tick();
        EXPECT_EQ(h.Stored("Recipient"), SettingValue {std::string("ops@example.org")});
        EXPECT_FALSE(h.iconShown);
        EXPECT_FALSE(h.timerRunning);
        EXPECT_EQ(h.processEnds, 1);
        EXPECT_EQ(h.exitStatus, saveFails ? 1 : 0);
        EXPECT_EQ(h.view.saveFailures,
                  std::vector<std::string>(saveFails && how != "automatic" ? 1 : 0,
                                           "registry.reg: no space left on device"));
    }
}

namespace {

// The server takes the mail up to its text; what went out from the MAIL command on.
std::string Converse(WindowHarness &h)
{
    h.Connected();
    for (const char *reply : {"220 hi\r\n", "250 ok\r\n", "250 ok\r\n", "250 ok\r\n", "354 go\r\n"})
        h.form->DataArrived(h.Arrive(reply));
    return h.wire;
}

} // namespace

TEST(MainWindowPublicIp, AskedOnlyForTheTokenAndEachMoveMailedOnce)
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
    h.Store("Subject", "Public [PUBLICIPADDRESS], local [IPADDRESS]");
    MainWindow &form = h.Flags({{"AutoMail", 1}, {"AutoEmailOnNewIP", 1}}).Start();
    // The start-up mail waits for the router's answer.
    ASSERT_EQ(h.datagrams.sent.size(), 1u);
    EXPECT_EQ(h.connects, 0);
    h.datagrams.RouterSays(100, 0xCB007107);
    EXPECT_THAT(Converse(h), HasSubstr("Subject: Public 203.0.113.7, local 192.0.2.7\r\n"));
    EXPECT_EQ(h.view.Text(Control::KnownAddresses), "Local IP: 192.0.2.7\nPublic IP: 203.0.113.7");
    h.End(DeliveryResult::Delivered, "250 ok");

    // Announced three times, the move is one mail.
    for (std::uint32_t i = 0; i < 3; ++i)
        h.datagrams.RouterSays(110 + i, 0xCB007108, true);
    EXPECT_EQ(h.connects, 2);
    EXPECT_THAT(Converse(h), HasSubstr("Subject: Public 203.0.113.8,"));
    h.End(DeliveryResult::Delivered, "250 ok");

    // Another network: the local move waits for the router, and both go in one mail.
    h.localIp = "198.51.100.4";
    form.AddressChanged();
    EXPECT_EQ(h.connects, 2);
    h.datagrams.RouterSays(5, 0xCB007109);
    EXPECT_EQ(h.connects, 3);
    EXPECT_THAT(Converse(h), HasSubstr("Subject: Public 203.0.113.9, local 198.51.100.4\r\n"));
    h.End(DeliveryResult::Delivered, "250 ok");
    for (int i = 0; i < 3; ++i)
        h.Tick();
    EXPECT_EQ(h.connects, 3);
}

TEST(MainWindowPublicIp, AnUnknownAddressIsRetriedAutomaticallyAndSaidUnknownByTheButton)
{
    WindowHarness h;
    h.Store("Msg", "at [PUBLICIPADDRESS]");
    MainWindow &form = h.Flags({{"AutoMail", 1}}).Start();
    // The router never answers and no STUN server is named.
    for (int i = 0; i < kNatPmpRetransmission.tries; ++i)
        h.addressDeadline.Expire();
    EXPECT_EQ(h.connects, 0);
    EXPECT_THAT(form.DebugLog(), HasSubstr("The public address is not known yet.\r\n"));
    EXPECT_THAT(h.view.Caption(), HasSubstr("Retrying in 30 s"));

    // The router comes back (its five-minute asking): the owed mail goes at once.
    h.addressDeadline.Expire();
    h.datagrams.RouterSays(100, 0xCB007107);
    EXPECT_EQ(h.connects, 1);
    EXPECT_THAT(Converse(h), HasSubstr("\r\nat 203.0.113.7"));
    h.End(DeliveryResult::Delivered, "250 ok");

    // On a network without a router the button's mail goes, saying why.
    h.datagrams.gateway = 0;
    form.AddressChanged();
    form.UserClicked(Control::SendEmailButton);
    EXPECT_THAT(Converse(h), HasSubstr("\r\nat unknown"));
    EXPECT_THAT(form.DebugLog(), HasSubstr("the mail says \"unknown\" in its place"));
}

TEST(MainWindowPublicIp, TwoBoxesHoldTheSourceAndAButtonInsertsTheToken)
{
    // The stored source, the boxes it checks, the source once the STUN box is clicked.
    for (const auto &[source, router, stun, flipped] :
         {std::tuple {0, kUnchecked, kUnchecked, 3}, std::tuple {1, kChecked, kUnchecked, 2},
          std::tuple {2, kChecked, kChecked, 1}, std::tuple {3, kUnchecked, kChecked, 0}}) {
        WindowHarness h;
        h.Store("PublicAddressSource", source);
        MainWindow &form = h.Start();
        EXPECT_EQ(h.view.Value(Control::AskRouter), router) << source;
        EXPECT_EQ(h.view.Value(Control::AskStun), stun) << source;
        h.view.SetValue(Control::AskStun, stun == kChecked ? kUnchecked : kChecked);
        form.UserChangedValue(Control::AskStun);
        form.FocusMoved(Control::Subject, Control::Message);
        EXPECT_TRUE(h.view.Enabled(Control::InsertPublicIpButton));
        form.UserClicked(Control::InsertPublicIpButton);
        form.ExitApp();
        EXPECT_EQ(h.Stored("PublicAddressSource"), SettingValue {flipped}) << source;
        EXPECT_EQ(h.Stored("Msg"),
                  SettingValue {"[PUBLICIPADDRESS]Your New IP Address is [IPADDRESS]"});
    }
}
