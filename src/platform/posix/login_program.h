#pragma once

#include <filesystem>
#include <string>

namespace pellwick {

// How the log-in entry names the program at `programPath`. An installed program,
// one that a search of `searchPath` (PATH: folders separated by ':') for its file
// name finds itself, goes by that bare name, as desktop entries name installed
// programs: the entry then follows the program when a package replaces a copy
// installed from source. Any other (a build tree, a copy in a folder of its own)
// goes by its full path.
std::string LoginProgram(const std::filesystem::path &programPath, const std::string &searchPath);

} // namespace pellwick
