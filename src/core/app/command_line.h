// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pellwick {

// How the program runs: with its window and tray, with neither (--headless,
// for machines without a desktop), or as one mail and out (--send-now, which
// wins when both are given).
enum class RunMode { Window, Headless, SendNow };

// What the program prints instead of starting: the usage ("--help", "-h" or
// "/?") or the version ("--version"). The first such argument decides.
enum class InfoRequest { None, Help, Version };

// A command on the stored values, or the status query, run instead of the
// program: "--list", "--get NAME", "--set NAME=VALUE…", "--unset NAME",
// "--set-password" (from standard input) and "--status".
enum class SettingsCommand { None, List, Get, Set, Unset, SetPassword, Status };

// Everything the program's arguments ask for.
struct CommandLine
{
    RunMode mode = RunMode::Window;
    InfoRequest info = InfoRequest::None;
    // A log-in run (/s): see IsLoginRun.
    bool loginRun = false;
    // FILE of "--password-file FILE" or "--password-file=FILE" (the last one wins).
    std::optional<std::string> passwordFile;
    SettingsCommand command = SettingsCommand::None;
    // The command's NAME or NAME=VALUE words.
    std::vector<std::string> commandWords;
    // The arguments joined with single blanks, as one command-line text.
    std::string text;
    // Why the arguments cannot be followed, in one line ("unknown option
    // --bogus"); empty when they can.
    std::string problem;
};

CommandLine ParseCommandLine(const std::vector<std::string> &arguments);

// Whether the command line marks a log-in run: split at single blanks, some
// word reads "/s" or "-s" in any case. Empty words match nothing.
bool IsLoginRun(const std::string &commandLine);

} // namespace pellwick
