#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pellwick {

// The program's name and version, "Pellwick 1.1".
std::string VersionText();

// The copyright and licence lines --version prints after VersionText, as GNU
// programs print them.
std::string LicenceText();

// What the program prints, instead of starting, when one of its arguments is
// "--help", "-h" or "/?" (the usage) or "--version" (VersionText, then
// LicenceText). The first such argument decides; nothing when there is none.
// `programName` is the name the usage shows, "pellwick" or "Pellwick.exe".
// `runModes`: the program knows --headless and --send-now (ChosenRunMode).
std::optional<std::string> InfoRequest(const std::vector<std::string> &arguments,
                                       const std::string &programName, bool runModes = false);

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
