#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pellwick {

// The program's name and version, "Pellwick 1.0".
std::string VersionText();

// What the program prints, instead of starting, when one of its arguments is
// "--help", "-h" or "/?" (the usage) or "--version" (VersionText). The first such
// argument decides; nothing when there is none. `programName` is the name the
// usage shows, "pellwick" or "Pellwick.exe".
std::optional<std::string> InfoRequest(const std::vector<std::string> &arguments,
                                       const std::string &programName);

} // namespace pellwick
