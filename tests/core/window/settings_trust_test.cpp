// SPDX-License-Identifier: MIT
// What the window does with settings it could not read or cannot mail with, and
// what a run without a notification area tells of every mail.
#include "window_harness.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <tuple>

using namespace pellwick;
using pellwick::test::WindowHarness;
using ::testing::HasSubstr;

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
    // The sent line's priority is the end-to-end run's, a retry's text the
    // balloon's in the window's retry test.
    struct Row
    {
        const char *recipient;
        bool tried;
        std::string err;
        int status;
        bool journal; // the journal reads both streams
    };
    for (const Row &row : {
             Row {"root@localhost", true, "<3>Pellwick: the email was not sent: 550 no\n", 69,
                  true},
             Row {"a@example.org>, <evil@x", false,
                  "Pellwick: the email was not sent: The recipient \"a@example.org>\" is not an "
                  "email address.\n",
                  78, false},
         }) {
        SCOPED_TRACE(row.recipient);
        WindowHarness h;
        h.trayHost = false;
        h.commandLine = "/s";
        h.lines = {row.journal, row.journal};
        h.Store("Recipient", std::string(row.recipient));
        h.Flags({{"AutoMail", 1}, {"AutoExit", 1}});
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        h.Start();
        EXPECT_EQ(h.connectedTo.empty(), !row.tried);
        if (row.tried)
            h.End(DeliveryResult::RefusedForGood, "550 no");
        const std::string out = testing::internal::GetCapturedStdout();
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::tie(out, err, h.processEnds, h.exitStatus),
                  std::tuple("", row.err, 1, row.status));
        EXPECT_EQ(h.form->DebugLog().find("is not an email address.") != std::string::npos,
                  !row.tried);
    }
}
