#pragma once

#include "core/app/command_line.h"

#include <string>

namespace pellwick {

// The program's name and version, "Pellwick 1.0".
std::string VersionText();

// What the program prints for `request` instead of starting: the usage, which
// names the program `programName` ("pellwick" or "Pellwick.exe"), or the
// version line. Empty for InfoRequest::None.
std::string InfoText(InfoRequest request, const std::string &programName);

} // namespace pellwick
