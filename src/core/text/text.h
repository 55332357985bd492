// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pellwick {

// The text without the given characters at either end (blanks by default),
// at its start only, or at its end only.
std::string_view Trim(std::string_view text, std::string_view what = " ");
std::string_view TrimStart(std::string_view text, std::string_view what = " ");
std::string_view TrimEnd(std::string_view text, std::string_view what = " ");

// ASCII letters folded to lower case; every other byte as it is, whatever the
// locale says.
char AsciiLower(char c);
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// The number written by an optional sign and at least one decimal digit,
// nothing else around them. Numbers beyond 64 bits saturate; only their sign
// and whether they are zero survive.
std::optional<std::int64_t> ParseWholeNumber(std::string_view text);

// q + 1 when the remainder r of a division by d is above one half, or exactly
// one half with q odd; q otherwise. Never forms 2 * r, which could overflow.
std::uint64_t RoundHalfToEven(std::uint64_t q, std::uint64_t r, std::uint64_t d);

// The length of the longest start of the text that holds at most `limit`
// bytes and does not end inside a UTF-8 character.
std::size_t Utf8CutLength(std::string_view text, std::size_t limit);
// UTF-16LE bytes as UTF-8; none when their count is odd or a surrogate is unpaired.
std::optional<std::string> Utf8FromUtf16Le(std::string_view bytes);

// The same for a limit in characters as a text control counts them: UTF-16
// code units (two for a character beyond the Basic Multilingual Plane), a line
// break one whether it is CR LF or LF.
std::size_t ControlCutLength(std::string_view text, std::size_t limit);

} // namespace pellwick
