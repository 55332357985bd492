#pragma once

#include "core/mail/deadline.h"

#include <chrono>
#include <functional>
#include <utility>

namespace pellwick::test {

// A deadline that passes only when the test says so.
class ManualDeadline : public Deadline
{
public:
    void Arm(std::chrono::milliseconds after, std::function<void()> expired) override
    {
        armed = after;
        m_expired = std::move(expired);
    }
    void Disarm() override
    {
        armed = std::chrono::milliseconds {0};
        m_expired = nullptr;
    }
    // The armed limit passes now.
    void Expire()
    {
        if (auto expired = std::exchange(m_expired, nullptr))
            expired();
    }

    // The limit armed last; 0 when none is.
    std::chrono::milliseconds armed {0};

private:
    std::function<void()> m_expired;
};

} // namespace pellwick::test
