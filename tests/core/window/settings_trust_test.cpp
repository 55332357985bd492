// SPDX-License-Identifier: MIT
// What the window does with settings it could not read or cannot mail with, and
// what a run without a notification area tells of every mail.
#include "window_harness.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

using namespace pellwick;
using pellwick::test::WindowHarness;
using ::testing::HasSubstr;

TEST(SettingsTrust, UnreadableSettingsMailNobodyAndStayAsTheyAre)
{
    const std::string cause
        = "cannot read the settings file /h/registry.reg: it is not a regular file";
    struct Row
    {
        const char *run;
        std::string commandLine;
        bool trayHost;
        int ticksToEnd; // -1: it keeps running
    };
    const Row rows[] = {{"window", "", true, -1},
                        {"log-in run with a tray", "/s", true, 2},
                        {"log-in run without one", "/s", false, 0}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.run);
        WindowHarness h;
        h.hive.unreadable = cause;
        h.commandLine = row.commandLine;
        h.trayHost = row.trayHost;
        testing::internal::CaptureStderr();
        MainWindow &form = h.Start();
        for (int tick = 0; tick < row.ticksToEnd; ++tick) {
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
        if (row.ticksToEnd < 0) {
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
            EXPECT_EQ(h.balloons.size(), row.trayHost ? 1u : 0u);
        }
        EXPECT_EQ(h.hive.commits, 0);
    }
}

TEST(SettingsTrust, EveryOutcomeIsToldAndALogInRunEndsWithItsStatus)
{
    // The recipient, each try's end (P: passing failure, R: refused, D: delivered),
    // what is printed, the status.
    struct Row
    {
        const char *recipient, *tries;
        std::string out, err;
        int status;
    };
    const std::string later = "Pellwick: the email was not sent: 451 try later Retrying in ";
    const Row rows[] = {
        {"root@localhost", "PPD", "Pellwick: the email was sent: 250 ok\n",
         later + "30 s.\n" + later + "1 min.\n", 0},
        {"root@localhost", "R", "", "Pellwick: the email was not sent: 550 no\n", 69},
        {"a@example.org>, <evil@x", "", "",
         "Pellwick: the email was not sent: The recipient \"a@example.org>\" is not an email "
         "address.\n",
         78},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.tries);
        WindowHarness h;
        h.trayHost = false;
        h.commandLine = "/s";
        h.Store("Recipient", std::string(row.recipient));
        h.Flags({{"AutoMail", 1}, {"AutoExit", 1}});
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        h.Start();
        for (const char *end = row.tries; *end; ++end) {
            if (end != row.tries)
                h.Tick(end == row.tries + 1 ? 30'000 : 60'000);
            EXPECT_EQ(h.connectedTo, "localhost:25");
            h.End(*end == 'D'   ? DeliveryResult::Delivered
                  : *end == 'R' ? DeliveryResult::RefusedForGood
                                : DeliveryResult::PassingFailure,
                  *end == 'D'   ? "250 ok"
                  : *end == 'R' ? "550 no"
                                : "451 try later");
        }
        EXPECT_EQ(testing::internal::GetCapturedStdout(), row.out);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), row.err);
        EXPECT_EQ(h.processEnds, 1);
        EXPECT_EQ(h.exitStatus, row.status);
        EXPECT_EQ(h.form->DebugLog().find("is not an email address.") != std::string::npos,
                  !*row.tries);
    }
}
