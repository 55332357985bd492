// SPDX-License-Identifier: MIT
#include "core/mail/date_header.h"

#include <array>
#include <cstdio>
#include <cstdlib>

namespace pellwick {

std::string FormatMailDate(const LocalTime &time)
{
    static constexpr const char *kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char *kMonths[]
        = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::tm &t = time.fields;
    // Fields out of range (a broken clock) give a visible "???", not a crash.
    const char *day = t.tm_wday >= 0 && t.tm_wday < 7 ? kDays[t.tm_wday] : "???";
    const char *month = t.tm_mon >= 0 && t.tm_mon < 12 ? kMonths[t.tm_mon] : "???";
    const long offsetMinutes = std::labs(time.utcOffsetSeconds) / 60;
    std::array<char, 64> text {};
    std::snprintf(text.data(), text.size(), "%s, %02d %s %04d %02d:%02d:%02d %c%02ld%02ld", day,
                  t.tm_mday, month, t.tm_year + 1900, t.tm_hour, t.tm_min, t.tm_sec,
                  time.utcOffsetSeconds < 0 ? '-' : '+', offsetMinutes / 60, offsetMinutes % 60);
    return text.data();
}

} // namespace pellwick
