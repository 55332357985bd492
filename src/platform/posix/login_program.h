// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>

namespace pellwick {

// How the log-in entry names the program at `programPath`: by its bare name when a
// search of `searchPath` (PATH) for that name finds this very file, as desktop
// entries name installed programs (the entry then follows a package that replaces
// a copy installed from source); else, as for a build tree, by its full path.
std::string LoginProgram(const std::filesystem::path &programPath, const std::string &searchPath);

} // namespace pellwick
