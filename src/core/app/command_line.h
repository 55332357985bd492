#pragma once

#include <string>
#include <vector>

namespace pellwick {

// The program's arguments joined with single blanks, as one command-line text.
std::string JoinArguments(const std::vector<std::string> &arguments);

// Whether the command line marks a log-in run: split at single blanks, some
// word reads "/s" or "-s" in any case. Empty words match nothing.
bool IsLoginRun(const std::string &commandLine);

// How the program runs: with its window and tray, with neither (--headless,
// for machines without a desktop), or as one mail and out (--send-now, which
// wins when both are given).
enum class RunMode { Window, Headless, SendNow };
RunMode ChosenRunMode(const std::vector<std::string> &arguments);

// A window needs a display: none of DISPLAY, WAYLAND_DISPLAY or
// QT_QPA_PLATFORM is set (the values given, empty when unset). The line says
// so and what to use instead; nothing when the window can be shown.
std::string NoDisplayLine(RunMode mode, const std::string &display, const std::string &wayland,
                          const std::string &platform);

} // namespace pellwick
