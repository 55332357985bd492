// SPDX-License-Identifier: MIT
#include "core/app/startup.h"

#include "core/app/info_request.h"
#include "core/app/settings_command.h"
#include "core/mail/message.h"
#include "core/settings/store.h"
#include "core/tray/notify_area.h"

#include <cstdio>
#include <optional>

namespace pellwick {

namespace {

constexpr const char *kNoDisplayLine
    = "pellwick: no display to show the window on (DISPLAY and WAYLAND_DISPLAY are not set); use "
      "--headless to run without one, or --send-now to send one email";

bool printOut(StartupShell &shell, const std::string &text)
{
    return shell.ConnectOutput() && std::fputs(text.c_str(), stdout) >= 0
           && std::fflush(stdout) == 0;
}

void printError(StartupShell &shell, const MessageLines &lines, const std::string &line)
{
    shell.ConnectOutput();
    lines.Write(LinePriority::Failure, line);
}

void printReply(StartupShell &shell, const HandOverReply &reply)
{
    shell.ConnectOutput();
    std::fputs(reply.out.c_str(), stdout);
    std::fflush(stdout);
    std::fputs(reply.err.c_str(), stderr);
}

// The stored value as the running program has it, else as stored.
std::optional<std::string> liveText(const PlatformParts &platform, const char *name)
{
    const auto reply = platform.askRunning({InstanceRequest::Command, {"--get", name}});
    if (!reply)
        return Settings::Load(*platform.settingsStore()).Text(name);
    if (reply->status != 0 || !reply->out.ends_with('\n'))
        return std::nullopt;
    return reply->out.substr(0, reply->out.size() - 1);
}

// Keeps the password of standard input in the secret store, keyed as the
// window keys it: the server as connected to, and the user name.
int setPassword(const PlatformParts &platform, StartupShell &shell)
{
    const auto server = liveText(platform, "SMTPServer");
    const auto user = liveText(platform, "SMTPUser");
    if (!server || !user) {
        printError(shell, platform.lines, "pellwick: the running Pellwick did not tell its server");
        return 1;
    }
    const auto store = platform.passwordStore();
    const auto password = platform.readPassword();
    std::string problem = !store ? "there is no secret store" : "";
    if (problem.empty() && !password)
        problem = "no password was given on standard input";
    if (problem.empty())
        problem = store->Store(TrimSpaces(RemoveLineBreaks(*server)), *user, *password);
    if (!problem.empty()) {
        printError(shell, platform.lines, "pellwick: the password was not kept: " + problem);
        return 1;
    }
    return 0;
}

// --list, --get, --set, --unset: on the running program when one runs (it
// shows and saves the change at once), else on the store; --status asks.
int runCommand(const CommandLine &asked, const std::vector<std::string> &arguments,
               const PlatformParts &platform, StartupShell &shell)
{
    if (asked.command == SettingsCommand::SetPassword)
        return setPassword(platform, shell);
    if (const auto reply = platform.askRunning({InstanceRequest::Command, arguments})) {
        printReply(shell, *reply);
        return reply->status;
    }
    if (asked.command == SettingsCommand::Status) {
        printError(shell, platform.lines, "pellwick: Pellwick is not running");
        return kNotRunningStatus;
    }
    const auto store = platform.settingsStore();
    if (const std::string unreadable = store->Unreadable(); !unreadable.empty()) {
        printError(shell, platform.lines, "pellwick: " + unreadable);
        return SendNow::kConfig;
    }
    Settings settings = Settings::Load(*store);
    const SettingsCommandResult result = RunSettingsCommand(asked, settings);
    for (const SettingChange &change : result.changes)
        settings.Set(change.name, change.value);
    if (const std::string failure = settings.Save(*store); !failure.empty()) {
        printError(shell, platform.lines, "pellwick: " + failure);
        return 1;
    }
    printReply(shell, result.reply);
    return result.reply.status;
}

} // namespace

int RunProgram(const std::vector<std::string> &arguments, const std::string &programName,
               const PlatformParts &platform, StartupShell &shell)
{
    const std::vector<std::string> ours = shell.WithoutToolkitOptions(arguments);
    const CommandLine asked = ParseCommandLine(ours);
    // Answered before any window or toolkit exists, so they work without a
    // display. A failed write (a full disk, a closed pipe) is a failure.
    if (asked.info != InfoRequest::None)
        return printOut(shell, InfoText(asked.info, programName)) ? 0 : 1;
    if (!asked.problem.empty()) {
        printError(shell, platform.lines,
                   "pellwick: " + asked.problem + "; " + programName + " --help lists the options");
        return kUsageStatus;
    }
    if (asked.command != SettingsCommand::None)
        return runCommand(asked, ours, platform, shell);
    if (asked.mode == RunMode::Window && !shell.CanShowWindow()) {
        printError(shell, platform.lines, kNoDisplayLine);
        return 1;
    }
    // A later start hands over to the running one and ends: it never mails
    // and never saves. A --send-now run is one mail beside whatever runs.
    HandOverReply running;
    if (asked.mode != RunMode::SendNow && !shell.ClaimInstance(asked.loginRun, running)) {
        // Beside a program without a window no window can come up: the start
        // says so (a log-in run's job is done all the same, silently).
        if (running.headless && !asked.loginRun) {
            const std::string line = HeadlessRunningLine(running.process);
            printError(shell, platform.lines, line);
            if (asked.mode == RunMode::Window)
                shell.ShowMessage(line);
        }
        return 0;
    }

    // What a run without the window prints reaches whoever started it.
    if (asked.mode != RunMode::Window)
        shell.ConnectOutput();
    const CommandLine given = ParseCommandLine(shell.Begin(asked.mode));
    const auto store = platform.settingsStore();
    const auto passwordStore = platform.passwordStore();
    // A password file nobody else may read, for machines without a secret store.
    std::optional<PasswordLookup> passwordFile;
    if (given.passwordFile) {
        passwordFile = PasswordFromFile(*given.passwordFile, platform.readPrivateFile);
        if (!passwordFile->error.empty()) {
            printError(shell, platform.lines, passwordFile->error);
            return SendNow::kConfig;
        }
    }

    // A run without the window would act on defaults standing in for the
    // user's settings: it stops and says why (the window shows it instead).
    if (asked.mode != RunMode::Window) {
        if (const std::string unreadable = store->Unreadable(); !unreadable.empty()) {
            printError(shell, platform.lines, "pellwick: " + unreadable + "; nothing was sent");
            return SendNow::kConfig;
        }
    }

    if (asked.mode == RunMode::SendNow) {
        return shell.RunSendNow([&](Socket &socket, Deadline &deadline) {
            return std::make_unique<SendNow>(
                socket, deadline,
                SmtpEnvironment {platform.clock, platform.hostName, MessageIdRandom()}, *store,
                platform.localIp, platform.globalIpv6, passwordStore.get(), passwordFile,
                [&shell, &platform](int status, const std::string &line) {
                    // The server's last reply, on standard error unless delivered.
                    platform.lines.Write(status == SendNow::kDelivered ? LinePriority::Info
                                                                       : LinePriority::Failure,
                                         line);
                    shell.EndLoop(status);
                });
        });
    }

    // A service manager starts a run without the window: the log-in entry is
    // the window's alone.
    const auto autostart
        = asked.mode == RunMode::Headless ? std::make_unique<NoAutostart>() : platform.autostart();
    return shell.RunForm(asked.mode,
                         {
                             .store = *store,
                             .autostart = *autostart,
                             .localIp = platform.localIp,
                             .memoryReader = platform.memoryReader,
                             .clock = platform.clock,
                             .commandLine = given.text,
                             .endProcess = [&shell](int status) { shell.EndLoop(status); },
                             .hostName = platform.hostName,
                             .globalIpv6 = platform.globalIpv6,
                             .passwordStore = passwordStore.get(),
                             .passwordFile = std::move(passwordFile),
                             .lines = platform.lines,
                         });
}

} // namespace pellwick
