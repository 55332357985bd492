// SPDX-License-Identifier: MIT
#pragma once

#include "core/app/command_line.h"
#include "core/app/hand_over.h"
#include "core/mail/password_file.h"
#include "core/settings/autostart.h"
#include "core/window/send_now.h"
#include "core/window/window_parts.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pellwick {

class SettingsStore;

// What this machine gives a start: the platform layer's parts.
struct PlatformParts
{
    std::function<std::unique_ptr<SettingsStore>()> settingsStore;
    std::function<std::unique_ptr<PasswordStore>()> passwordStore;
    PrivateFileReader readPrivateFile;
    // The log-in entry; asked for once the shell has begun (it knows where the
    // program lies only then).
    std::function<std::unique_ptr<Autostart>()> autostart;
    std::function<std::string()> localIp;
    std::function<std::optional<std::string>()> globalIpv6 = [] {
        return std::optional<std::string>();
    };
    MemoryReader memoryReader;
    Smtp::Clock clock;
    std::function<std::string()> hostName;
    // Where the run's lines go, and whether they carry their priority.
    MessageLines lines = {};
    // Hands a request to this user's running program: its reply, or none when
    // none runs.
    std::function<std::optional<HandOverReply>(const HandOver &)> askRunning;
    // One line from standard input, not shown on a terminal as it is typed;
    // none when there is none.
    std::function<std::optional<std::string>()> readPassword;
};

// What a shell gives a start: its output, its claim on the one running
// program, and its event loops.
class StartupShell
{
public:
    virtual ~StartupShell() = default;

    // Readies standard output and error for what the run prints; false when
    // it can go nowhere.
    virtual bool ConnectOutput() { return true; }
    // A window can be shown (there is a display for it).
    virtual bool CanShowWindow() const { return true; }
    // Claims this user's one running program for the rest of the run; false
    // when another holds it, which is then told of this start and whose
    // reply, when it gave one, goes to `reply`.
    virtual bool ClaimInstance(bool loginRun, HandOverReply &reply) = 0;
    // The arguments without those the toolkit takes for itself (its own
    // options and their values).
    virtual std::vector<std::string> WithoutToolkitOptions(std::vector<std::string> arguments) const
    {
        return arguments;
    }
    // Shows the text in a message box; only called where a window can be shown.
    virtual void ShowMessage(const std::string &text) { (void)text; }
    // Readies the event loop for `mode`; returns the arguments left for the
    // program (a toolkit may take its own out of them).
    virtual std::vector<std::string> Begin(RunMode mode) = 0;
    // Ends the event loop with the exit status.
    virtual void EndLoop(int status) = 0;

    // Makes the one mail of --send-now over the shell's socket and deadline.
    using MakeSendNow = std::function<std::unique_ptr<SendNow>(Socket &socket, Deadline &deadline)>;
    // Runs the event loop for one mail; returns the exit status.
    virtual int RunSendNow(const MakeSendNow &make) = 0;
    // Runs MainWindow, headless or in the window; returns the exit status.
    virtual int RunForm(RunMode mode, MachineParts parts) = 0;
};

// The program's whole run from its arguments: the info requests, the
// settings commands, the single-instance hand-over, the store, the password, then one mail or the
// window. Returns the exit status.
int RunProgram(const std::vector<std::string> &arguments, const std::string &programName,
               const PlatformParts &platform, StartupShell &shell);

} // namespace pellwick
