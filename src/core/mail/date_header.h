// SPDX-License-Identifier: MIT
#pragma once

#include <ctime>
#include <string>

namespace pellwick {

// The broken-down local time of one moment and its distance from UTC.
struct LocalTime
{
    std::tm fields {};
    long utcOffsetSeconds = 0;
};

// Formats an RFC 5322 date: "Ddd, dd Mmm YYYY hh:mm:ss +hhmm", with English
// names whatever the host's locale.
std::string FormatMailDate(const LocalTime &time);

} // namespace pellwick
