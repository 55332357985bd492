#pragma once

#include <string>
#include <vector>

namespace pellwick {

// The program's arguments joined with single blanks, as one command-line text.
std::string JoinArguments(const std::vector<std::string> &arguments);

// Whether the command line marks a log-in run: split at single blanks, some
// word reads "/s" or "-s" in any case. Empty words match nothing.
bool IsLoginRun(const std::string &commandLine);

} // namespace pellwick
