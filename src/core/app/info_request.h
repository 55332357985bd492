// SPDX-License-Identifier: MIT
#pragma once

#include "core/app/command_line.h"

#include <string>

namespace pellwick {

// The program's name and version, "Pellwick 1.1".
std::string VersionText();

// The copyright and licence lines --version prints after VersionText, as GNU
// programs print them.
std::string LicenceText();

// What the program prints for `request` instead of starting: the usage, which
// names the program `programName` ("pellwick" or "Pellwick.exe"), or the
// version and licence lines. Empty for InfoRequest::None.
std::string InfoText(InfoRequest request, const std::string &programName);

} // namespace pellwick
