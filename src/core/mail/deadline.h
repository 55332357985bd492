// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <functional>

namespace pellwick {

// A one-shot time limit the SMTP dialogue arms for the step it waits for. The
// shell runs it on its own timer; tests fire it directly.
class Deadline
{
public:
    virtual ~Deadline() = default;

    // Calls `expired` once, `after` from now. Arming again replaces the last one.
    virtual void Arm(std::chrono::milliseconds after, std::function<void()> expired) = 0;
    // Forgets the armed limit, if any.
    virtual void Disarm() = 0;
};

} // namespace pellwick
