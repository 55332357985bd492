// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace pellwick {

// The program keeps its texts in UTF-8; Windows' W entry points take UTF-16.
// Malformed input becomes U+FFFD instead of being dropped, and embedded NULs
// are kept.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

} // namespace pellwick
