// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace pellwick {

// The fixed-rate schedule as plain arithmetic over the rate fields (TimerSend,
// TimerRate, TimerUnit); the window keeps the countdown in 64-bit milliseconds.

// The timer's interval; every tick lowers the countdown by this much.
inline constexpr std::int64_t kTickIntervalMs = 5000;

// The values of the rate fields at one moment.
struct TimerFields
{
    bool timerSend; // TimerSend checked
    std::string rateText; // TimerRate
    int unitIndex; // list position of TimerUnit, -1 when no entry is selected
    std::string unitText; // the text of TimerUnit's field
};

// Milliseconds in one unit: 1000 for "Seconds", 60000 for "Minutes", 3600000 for
// "Hours". Without a selected entry the typed text picks the unit, matched without
// regard to case and surrounding blanks; any other text counts as seconds.
std::int64_t UnitFactor(int unitIndex, const std::string &unitText);

// What ApplyTimerSettings leaves in the fields: the rate text to show, whether both
// fields are enabled, and the new countdown (none when the schedule is off, which
// leaves the countdown as it was).
struct TimerSettingsResult
{
    std::string rateText;
    bool fieldsEnabled;
    std::optional<std::int64_t> countdown;
};

// An empty rate text becomes "30"; so does a text that is not a whole number (a
// fraction rounds to the nearest, halves to the even neighbour) and a rate whose
// countdown would not fit in 64 bits. The fields are enabled and the countdown is
// armed only while the schedule is on.
TimerSettingsResult ApplyTimerSettings(const TimerFields &fields);

// One tick of the countdown: it falls by kTickIntervalMs (stopping at the lowest
// value instead of wrapping) and a timed e-mail is due when it has reached 0 or
// below while the schedule is on.
struct ScheduleStep
{
    std::int64_t countdown;
    bool send;
};
ScheduleStep ScheduleTick(std::int64_t countdown, bool timerSend);

// The rate text as a whole number: surrounding blanks ignored, an optional sign,
// digits with an optional fraction that rounds to the nearest whole number (an
// exact half to the even neighbour). Nothing for any other text or on overflow.
std::optional<std::int64_t> ParseTimerRate(const std::string &text);

} // namespace pellwick
