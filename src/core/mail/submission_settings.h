// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace pellwick {

class Settings;

// The four submission values of the settings: "SMTPPort", "SMTPSecurity",
// "SMTPUser" and "SMTPPin". The password is never here.
struct SubmissionSettings
{
    std::int32_t port = 25;
    std::int32_t security = 0;
    std::string user;
    std::string pin;

    static SubmissionSettings From(const Settings &settings);
    void StoreIn(Settings &settings) const;
};

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
