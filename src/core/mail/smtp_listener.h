// SPDX-License-Identifier: MIT
#pragma once

#include "core/mail/dialogue_outcome.h"

#include <string>

namespace pellwick {

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
