// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace pellwick {

// This machine's name (fully qualified where the system knows it), or the
// empty text when it cannot be told.
std::string HostName();

} // namespace pellwick
