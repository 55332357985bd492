#pragma once

#include <cstdint>
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

} // namespace pellwick
