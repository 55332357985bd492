// SPDX-License-Identifier: MIT
#pragma once

#include "core/mail/submission_settings.h"

#include <optional>
#include <string>

namespace pellwick {

// The small "Server..." dialog: port, security, user name, password and
// the button that trusts the certificate shown. Each shell draws its own;
// tests give a fake.
class ServerDialog
{
public:
    struct Result
    {
        SubmissionSettings settings;
        // A password typed in the dialog, to go to the secret store; nullopt
        // when the field was left empty.
        std::optional<std::string> password;
    };

    virtual ~ServerDialog() = default;

    // Shows the values and, for the button that trusts it, the fingerprint of
    // the certificate the server showed last (empty when none); returns what
    // the user accepted, or nullopt when the dialog was cancelled.
    virtual std::optional<Result> Edit(const SubmissionSettings &current,
                                       const std::string &presentedFingerprint)
        = 0;
};

} // namespace pellwick
