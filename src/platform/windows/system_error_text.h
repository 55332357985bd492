// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

namespace pellwick {

// Windows' own words for an error code, in UTF-8 without the trailing period
// and line break ("Access denied"), or "error N" where it has none.
std::string SystemErrorText(std::int32_t code);

} // namespace pellwick
