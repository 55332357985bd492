// SPDX-License-Identifier: MIT
#include "core/app/startup.h"

#include "core/app/info_request.h"
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

} // namespace

int RunProgram(const std::vector<std::string> &arguments, const std::string &programName,
               const PlatformParts &platform, StartupShell &shell)
{
    const CommandLine asked = ParseCommandLine(arguments);
    // Answered before any window or toolkit exists, so they work without a
    // display. A failed write (a full disk, a closed pipe) is a failure.
    if (asked.info != InfoRequest::None)
        return printOut(shell, InfoText(asked.info, programName)) ? 0 : 1;
    if (asked.mode == RunMode::Window && !shell.CanShowWindow()) {
        printError(shell, platform.lines, kNoDisplayLine);
        return 1;
    }
    // A later start hands over to the running one and ends: it never mails
    // and never saves. A --send-now run is one mail beside whatever runs.
    if (asked.mode != RunMode::SendNow && !shell.ClaimInstance(asked.loginRun))
        return 0;

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
