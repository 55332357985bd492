#include "core/mail/date_header.h"

#include <array>
#include <cstdio>
#include <cstdlib>

namespace pellwick {

namespace {

constexpr std::array<const char *, 7> kDays {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr std::array<const char *, 12> kMonths {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

template<std::size_t N>
const char *nameAt(const std::array<const char *, N> &names, int index)
{
    return index >= 0 && static_cast<std::size_t>(index) < N
               ? names[static_cast<std::size_t>(index)]
               : "???";
}

} // namespace

std::string FormatMailDate(const LocalTime &time)
{
    const std::tm &t = time.fields;
    const long offsetMinutes = std::labs(time.utcOffsetSeconds) / 60;
    std::array<char, 64> text {};
    std::snprintf(text.data(), text.size(), "%s, %02d %s %04d %02d:%02d:%02d %c%02ld%02ld",
                  nameAt(kDays, t.tm_wday), t.tm_mday, nameAt(kMonths, t.tm_mon), t.tm_year + 1900,
                  t.tm_hour, t.tm_min, t.tm_sec, time.utcOffsetSeconds < 0 ? '-' : '+',
                  offsetMinutes / 60, offsetMinutes % 60);
    return text.data();
}

} // namespace pellwick
