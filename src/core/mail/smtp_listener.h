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

// What the SMTP dialogue needs from the window that runs it.
class SmtpListener
{
public:
    virtual ~SmtpListener() = default;

    // Appends the text to the end of the debug log, adding nothing.
    virtual void AppendToDebugLog(const std::string &text) = 0;
    // A non-empty text becomes the window caption; the empty text restores the
    // normal caption.
    virtual void UpdateCaption(const std::string &text) = 0;
    // How the dialogue ended; called after the caption is back to normal and
    // before CheckAutoExit.
    virtual void DialogueEnded(const DialogueOutcome &outcome) { (void)outcome; }
    // Ends the program when this is a log-in run with automatic exit set. May not
    // return.
    virtual void CheckAutoExit() = 0;
};

} // namespace pellwick
