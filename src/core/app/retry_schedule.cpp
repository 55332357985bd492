// SPDX-License-Identifier: MIT
#include "core/app/retry_schedule.h"

#include <array>

namespace pellwick {

std::int64_t RetryDelayMs(int failures)
{
    static constexpr std::array<std::int64_t, 6> kSeconds {30, 60, 120, 240, 480, 900};
    const auto index = static_cast<std::size_t>(failures < 1 ? 0 : failures - 1);
    return (index < kSeconds.size() ? kSeconds[index] : kSeconds.back()) * 1000;
}

std::string RetryCaption(std::int64_t remainingMs)
{
    const std::int64_t seconds = remainingMs <= 0 ? 0 : (remainingMs + 999) / 1000;
    if (seconds < 60)
        return "Retrying in " + std::to_string(seconds) + " s";
    return "Retrying in " + std::to_string((seconds + 59) / 60) + " min";
}

void MailRetry::Started(MailKind kind)
{
    // A dropped automatic dialogue is still owed; the button's dialogue may
    // deliver it (it carries the same address), else the retry comes later.
    if (m_inFlight && m_current == MailKind::Automatic && kind == MailKind::Button && !m_dueMs)
        m_dueMs = 0;
    m_inFlight = true;
    m_current = kind;
    // This try carries the newest address; the pending retry is replaced.
    if (kind == MailKind::Automatic)
        m_dueMs.reset();
}

bool MailRetry::Ended(const DialogueOutcome &outcome, std::int64_t nowMs)
{
    if (!m_inFlight)
        return false;
    m_inFlight = false;
    const bool delivered = outcome.result == DeliveryResult::Delivered;
    const bool passing = outcome.result == DeliveryResult::PassingFailure;
    // Any delivered mail carries the current address, and an automatic mail refused
    // for good would be refused again: nothing is owed.
    if (delivered || (!passing && m_current == MailKind::Automatic)) {
        m_failures = 0;
        m_dueMs.reset();
    }
    if (!passing || m_current == MailKind::Button)
        return !delivered;
    m_dueMs = nowMs + RetryDelayMs(++m_failures);
    return m_failures == 1;
}

std::optional<std::int64_t> MailRetry::Remaining(std::int64_t nowMs) const
{
    if (m_inFlight || !m_dueMs)
        return std::nullopt;
    return *m_dueMs > nowMs ? *m_dueMs - nowMs : 0;
}

} // namespace pellwick
