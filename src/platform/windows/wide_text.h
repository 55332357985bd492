// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pellwick {

// The program keeps its texts in UTF-8; Windows' W entry points take UTF-16.
// Malformed input becomes U+FFFD instead of being dropped, and embedded NULs
// are kept.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// Windows' own words for an error code, in UTF-8 without the trailing period
// and line break ("Access denied"), or "error N" where it has none.
std::string SystemErrorText(std::int32_t code);

} // namespace pellwick
