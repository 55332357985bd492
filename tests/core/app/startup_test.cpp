// SPDX-License-Identifier: MIT
#include "core/app/command_line.h"
#include "core/app/info_request.h"
#include "core/app/retry_schedule.h"
#include "core/app/schedule.h"
#include "core/app/startup.h"
#include "core/settings/settings.h"
#include "support/fake_mail.h"
#include "support/memory_store.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

using namespace pellwick;

namespace {

// By RunMode's order.
const char *const modeNames[] = {"window", "headless", "send-now"};

struct Row
{
    std::vector<std::string> arguments;
    bool display, firstInstance;
    int status;
    std::string calls;
    std::string out, err; // the start of standard output, then of standard error
    std::optional<std::string> password = std::nullopt; // as the window got it
    std::string unreadable = ""; // why the store could not be read
    std::optional<HandOverReply> running = std::nullopt; // the running one's reply
    PrivateFile file = {PrivateFile::Status::Read, "pw\nrest", ""};
    std::string subject = ""; // stored
};

// A shell that writes down what the start-up asks of it, in order.
struct RecordingShell : StartupShell
{
    const Row *row = nullptr;
    std::string calls;
    std::optional<int> ended;
    std::optional<std::string> password;

    bool CanShowWindow() const override { return row->display; }
    bool ClaimInstance(bool loginRun, HandOverReply &reply) override
    {
        calls += loginRun ? "claim(login) " : "claim ";
        reply = row->running.value_or(HandOverReply {});
        return row->firstInstance;
    }
    std::vector<std::string>
    WithoutToolkitOptions(std::vector<std::string> arguments) const override
    {
        if (arguments.size() > 1 && arguments[0] == "-platform") // as a toolkit takes its own
            arguments.erase(arguments.begin(), arguments.begin() + 2);
        return arguments;
    }
    void ShowMessage(const std::string &text) override { calls += "box(" + text + ")"; }
    std::vector<std::string> Begin(RunMode mode) override
    {
        calls += std::string("begin(") + modeNames[static_cast<int>(mode)] + ") ";
        return WithoutToolkitOptions(row->arguments); // what the toolkit leaves
    }
    void EndLoop(int status) override { ended = status; }
    int RunSendNow(const MakeSendNow &make) override
    {
        test::FakeSocket socket;
        test::ManualDeadline deadline;
        const auto run = make(socket, deadline);
        run->Start();
        calls += "send-now(" + socket.connectedTo + ")";
        socket.Fail(SocketFailure::Refused, "refused");
        return ended.value_or(-1);
    }
    int RunForm(RunMode mode, MachineParts parts) override
    {
        calls += std::string("form(") + modeNames[static_cast<int>(mode)] + ", \""
                 + parts.commandLine + "\")";
        // Only the platform's entry tells it was written.
        parts.autostart.Register();
        if (parts.passwordFile)
            password = parts.passwordFile->password;
        return 0;
    }
};

// The log-in entry, writing down that it was written.
struct LoggedAutostart : Autostart
{
    explicit LoggedAutostart(std::string &log)
        : calls(log)
    {
    }
    void Register() override { calls += " entry"; }
    void Unregister() override { }
    std::string &calls;
};

} // namespace

TEST(Startup, DecidesInOneOrderForEveryShell)
{
    const PrivateFile open {PrivateFile::Status::OpenToOthers, "pw", ""};
    const std::string unreadable = "cannot read the settings file f: it is not a regular file";
    const std::string version = VersionText() + "\n" + LicenceText();
    const HandOverReply headless {
        .status = 0, .out = "", .err = "", .headless = true, .process = 42};
    const std::string beside = HeadlessRunningLine(42) + "\n";
    HandOverReply answer = headless;
    answer.out = "Address: 10.0.0.1\n";
    const auto none = std::nullopt;
    // clang-format off
    const std::vector<Row> rows {
        {{"/s", "--version"}, false, false, 0, "", version, ""},
        {{"/?"}, true, true, 0, "",
         "Usage: pellwick [/s] [--headless | --send-now] [--password-file FILE]\n", ""},
        {{"-platform", "x", "/S"}, true, true, 0,
         "claim(login) begin(window) form(window, \"/S\") entry", "", ""},
        {{"--send-now", "/s"}, false, false, 75, "begin(send-now) send-now(localhost:25)", "",
         "Could not connect to localhost:25: refused"},
        {{"--password-file", "f"}, true, true, 78, "claim begin(window) ", "",
         "Password file f refused: others", none, "", none, open},
        {{"--password-file=f"}, true, true, 0,
         "claim begin(window) form(window, \"--password-file=f\") entry", "", "", "pw"},
        // Without the window nothing acts on defaults standing in for the settings.
        {{"--headless"}, false, true, 78, "claim begin(headless) ", "",
         "pellwick: " + unreadable + "; nothing was sent\n", none, unreadable},
        {{"--send-now"}, false, true, 75, "begin(send-now) send-now()", "",
         "The IPv6 address is not known yet.", none, "", none, {}, "[IPV6ADDRESS]"},
        {{"--send-now"}, false, true, 78, "begin(send-now) ", "", "pellwick: " + unreadable, none,
         unreadable},
        {{}, true, true, 0, "claim begin(window) form(window, \"\") entry", "", "", none,
         unreadable},
        {{"--headless", "--bogus"}, false, true, 64, "", "",
         "pellwick: unknown option --bogus; pellwick --help lists the options\n"},
        // Beside a program running without a window: the line, and the box
        // where a window could show; a log-in run's job is done already.
        {{}, true, false, 0, "claim box(" + beside.substr(0, beside.size() - 1) + ")", "", beside,
         none, "", headless},
        {{"--headless"}, false, false, 0, "claim ", "", beside, none, "", headless},
        {{"/s"}, true, false, 0, "claim(login) ", "", "", none, "", headless},
        // The commands ask the running program first, else act on the store.
        {{"--status"}, false, false, 0, "ask(--status) ", answer.out, "", none, "", answer},
        {{"--status"}, false, false, 3, "ask(--status) ", "",
         "pellwick: Pellwick is not running\n"},
        {{"--get", "smtpPORT"}, false, false, 0, "ask(--get smtpPORT) ", "25\n", ""},
        {{"--set", "smtpport=0"}, false, false, 64, "ask(--set smtpport=0) ", "",
         "pellwick: SMTPPort=0: not a whole number from 1 to 65535\n"},
        {{"--list"}, false, false, 78, "ask(--list) ", "", "pellwick: " + unreadable, none,
         unreadable},
        {{"--set-password"}, false, false, 1, "ask(--get SMTPServer) ask(--get SMTPUser) ", "",
         "pellwick: the password was not kept: there is no secret store\n"},
    };
    // clang-format on
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.arguments));
        RecordingShell shell;
        shell.row = &row;
        const PlatformParts platform {
            .settingsStore =
                [&row] {
                    auto store = std::make_unique<test::MemoryStore>();
                    store->unreadable = row.unreadable;
                    if (!row.subject.empty())
                        store->Write("Subject", Stored(SettingValue(row.subject)));
                    return store;
                },
            .passwordStore = [] { return nullptr; },
            .readPrivateFile = [&row](const std::string &) { return row.file; },
            .autostart = [&shell] { return std::make_unique<LoggedAutostart>(shell.calls); },
            .localIp = [] { return std::string("192.0.2.9"); },
            .memoryReader = [] { return MemStatus {}; },
            .clock = [] { return LocalTime {}; },
            .hostName = [] { return std::string("ws1"); },
            .askRunning =
                [&shell, &row](const HandOver &handOver) {
                    shell.calls += "ask(";
                    for (const std::string &word : handOver.arguments)
                        shell.calls += (shell.calls.ends_with('(') ? "" : " ") + word;
                    shell.calls += ") ";
                    return row.running && !row.running->out.empty() ? row.running : std::nullopt;
                },
            .readPassword = [] { return std::optional<std::string>("pw"); },
        };
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const int status = RunProgram(row.arguments, "pellwick", platform, shell);
        // Only the start of a text is compared; an empty one must stay empty.
        const auto start = [](const std::string &text, const std::string &expected) {
            return expected.empty() ? text : text.substr(0, expected.size());
        };
        const std::string out = start(testing::internal::GetCapturedStdout(), row.out);
        const std::string err = start(testing::internal::GetCapturedStderr(), row.err);
        EXPECT_EQ(std::tie(status, shell.calls, out, err, shell.password),
                  std::tie(row.status, row.calls, row.out, row.err, row.password));
    }
}

TEST(CommandLine, LoginRunEveryOptionCommandAndProblem)
{
    for (const char *line : {"/s", "-S", "x /s", "a  /S", " -s "})
        EXPECT_TRUE(IsLoginRun(line)) << line;
    for (const char *line : {"", "/sx", "-s/s", "s", "//s", "x/s", "--s", "\t/s"})
        EXPECT_FALSE(IsLoginRun(line)) << line;
    // Arguments are joined with single blanks before the split, so an argument
    // holding a blank splits too.
    EXPECT_EQ(ParseCommandLine({"a", "b c", ""}).text, "a b c ");

    using Args = std::vector<std::string>;
    using C = SettingsCommand;
    struct Row
    {
        Args arguments;
        RunMode mode;
        InfoRequest info;
        std::optional<std::string> passwordFile;
        std::string problem;
        C command = C::None;
        Args words = {};
    };
    const auto none = std::nullopt;
    using enum RunMode;
    using enum InfoRequest;
    const std::string both = "only one of --list, --get, --set, --unset, --set-password and "
                             "--status at a time";
    // clang-format off
    for (const Row &row : {
             Row {{"/s", "--headless"}, Headless, None, none, ""},
             Row {{"--headless", "--send-now"}, SendNow, None, none, ""},
             Row {{"/??", "--Version"}, Window, None, none, "unknown option /??"},
             Row {{"--version", "--help"}, Window, Version, none, ""},
             Row {{"--help", "--version"}, Window, Help, none, ""},
             Row {{"--password-file=/a b", "--headless"}, Headless, None, "/a b", ""},
             // The word after the option is its value, even one that reads as
             // an option; it still chooses the mode.
             Row {{"--password-file", "--send-now"}, SendNow, None, "--send-now", ""},
             Row {{"--password-file"}, Window, None, none, "--password-file takes a FILE"},
             Row {{"--set", "A=1", "b=", "/s"}, Window, None, none, "", C::Set, {"A=1", "b="}},
             Row {{"--get", "A", "B"}, Window, None, none, "unknown option B", C::Get, {"A"}},
             Row {{"--unset", "--list"}, Window, None, none, "--unset takes a NAME", C::List},
             Row {{"--list", "--status"}, Window, None, none, both, C::Status},
             Row {{"--set"}, Window, None, none, "--set takes NAME=VALUE", C::Set},
         }) {
        // clang-format on
        SCOPED_TRACE(testing::PrintToString(row.arguments));
        const CommandLine got = ParseCommandLine(row.arguments);
        EXPECT_EQ(
            std::tie(got.mode, got.info, got.passwordFile, got.problem, got.command,
                     got.commandWords),
            std::tie(row.mode, row.info, row.passwordFile, row.problem, row.command, row.words));
    }
}

TEST(Schedule, UnitRateTicksAndRetryWaits)
{
    using Row = std::tuple<int, const char *, std::int64_t>;
    for (const auto &[index, typed, factor] :
         {Row {0, "Minutes", 1000}, Row {1, "", 60000}, Row {2, "x", 3600000},
          Row {-1, " HOURS\t", 3600000}, Row {-1, "fortnights", 1000}, Row {-1, "Minute", 1000},
          // Only ASCII letters fold: a dotless capital I is no "i".
          Row {-1, "M\xC4\xB0NUTES", 1000}})
        EXPECT_EQ(UnitFactor(index, typed), factor) << typed;

    // The rate text is read as a whole number, or treated as empty.
    using RateRow = std::tuple<std::string, int, std::int64_t>;
    for (const auto &[rate, unit, countdown] : {
             RateRow {" 45 ", 0, 45000},
             RateRow {"2.5", 0, 2000},
             RateRow {"3.5", 0, 4000},
             RateRow {".5", 0, 0},
             RateRow {"2562047788015", 2, 2562047788015 * 3600000},
             // Not a number, or too large to count down: like an empty field.
             RateRow {"", 0, 30000},
             RateRow {"1e9", 0, 30000},
             RateRow {"2562047788016", 2, 30 * 3600000},
         }) {
        const TimerSettingsResult result = ApplyTimerSettings({true, rate, unit, ""});
        EXPECT_EQ(result.countdown, countdown) << rate;
        EXPECT_EQ(result.rateText, countdown == 30000 || countdown == 30 * 3600000 ? "30" : rate);
    }
    EXPECT_EQ(ApplyTimerSettings({false, "45", 0, ""}).countdown, std::nullopt);

    // Ticks stop at the lowest value.
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    EXPECT_EQ(ScheduleTick(kMin + 1, false).countdown, kMin);
    EXPECT_TRUE(ScheduleTick(kMin, true).send);
    // A retry's wait is told rounded up (30 s and 1 min are the window tests').
    EXPECT_EQ(RetryCaption(60001), "Retrying in 2 min");
}
