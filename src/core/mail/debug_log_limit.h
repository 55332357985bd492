// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>

namespace pellwick {

// The debug log keeps its newest text only, so a program that mails every
// 30 seconds for months does not grow without end.
inline constexpr std::size_t kDebugLogLimit = 1024 * 1024;

// Appends `text` to `log`; when the log then exceeds `limit` bytes, the oldest
// text is dropped so that what stays begins at a line start. Returns the text
// dropped from the front (empty when none), so a view can mirror the cut.
std::string AppendToBoundedLog(std::string &log, const std::string &text,
                               std::size_t limit = kDebugLogLimit);

} // namespace pellwick
