// SPDX-License-Identifier: MIT
#pragma once

namespace pellwick {

// Turns the requests to end the program from outside (SIGTERM, SIGINT, SIGHUP
// on POSIX) into bytes on a descriptor the event loop can watch, so that they
// go through the one orderly exit like closing the window does. One at a time.
class EndSignals
{
public:
    EndSignals();
    ~EndSignals();
    EndSignals(const EndSignals &) = delete;
    EndSignals &operator=(const EndSignals &) = delete;

    // Readable when an end was asked for; -1 when none could be set up.
    int Descriptor() const;
    // Takes one request off the descriptor.
    void Acknowledge();
};

} // namespace pellwick
