// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
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

} // namespace pellwick
