// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace pellwick {

// How one SMTP dialogue ended, for whoever decides on retries.
enum class DeliveryResult {
    Delivered, // the server took the message (250 to the final ".")
    PassingFailure, // no connection, a time-out or a 4xx reply: worth trying again
    RefusedForGood, // a 5xx reply, a reply that fits no command, TLS or login trouble
};

struct DialogueOutcome
{
    DeliveryResult result = DeliveryResult::PassingFailure;
    // One line: the server's last reply, or why the dialogue failed.
    std::string cause;
    // The certificate the server showed, when TLS came up (for "Trust this
    // certificate").
    std::string peerFingerprint;
};

} // namespace pellwick
