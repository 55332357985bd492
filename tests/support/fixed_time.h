#pragma once

#include "core/mail/date_header.h"

namespace pellwick::test {

// Sunday 6 December 2026, 10:05:09, one hour east of UTC: the clock of every
// test that sends a mail.
inline LocalTime FixedTime()
{
    LocalTime t;
    t.fields.tm_year = 126;
    t.fields.tm_mon = 11;
    t.fields.tm_mday = 6;
    t.fields.tm_hour = 10;
    t.fields.tm_min = 5;
    t.fields.tm_sec = 9;
    t.utcOffsetSeconds = 3600;
    return t;
}

} // namespace pellwick::test
