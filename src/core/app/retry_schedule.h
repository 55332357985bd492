// SPDX-License-Identifier: MIT
#pragma once

#include "core/mail/smtp_listener.h"

#include <cstdint>
#include <optional>
#include <string>

namespace pellwick {

// When an automatic mail that failed for a passing reason is tried again:
// 30 s after the first failure, then 1, 2, 4, 8 and 15 minutes, then every
// 15 minutes until it is delivered. `failures` counts the failed tries (1 for
// the first); the result is in milliseconds.
std::int64_t RetryDelayMs(int failures);

// The caption's note while a retry waits, "Retrying in 30 s" or
// "Retrying in 2 min" (whole minutes, rounded up).
std::string RetryCaption(std::int64_t remainingMs);

// Who started a mail: the user's button, or the program by itself (start-up,
// a new address, the schedule, a retry).
enum class MailKind { Button, Automatic };

// The one automatic mail still owed, and when it is tried again. There is only
// ever one: every automatic mail reads the newest address when it goes out, so
// a newer address replaces the pending retry instead of queueing beside it.
class MailRetry
{
public:
    // A dialogue starts; it drops the one before, whose outcome never comes.
    void Started(MailKind kind);

    // A dialogue ended; true when the user is to be told (a balloon): a mail
    // failed for good, or the first try of a mail failed.
    bool Ended(const DialogueOutcome &outcome, std::int64_t nowMs);

    // A retry waits; a log-in run does not end meanwhile.
    bool Pending() const { return m_dueMs.has_value(); }
    // The retry is due (the dialogue that carried the mail is over).
    bool Due(std::int64_t nowMs) const { return !m_inFlight && m_dueMs && nowMs >= *m_dueMs; }
    // Time left until the retry, while one waits and no dialogue runs.
    std::optional<std::int64_t> Remaining(std::int64_t nowMs) const;

private:
    bool m_inFlight = false;
    MailKind m_current = MailKind::Button;
    int m_failures = 0;
    std::optional<std::int64_t> m_dueMs;
};

} // namespace pellwick
