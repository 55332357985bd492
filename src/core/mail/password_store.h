// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

namespace pellwick {

// A password looked up, or why there is none.
struct PasswordLookup
{
    std::optional<std::string> password;
    // Empty when the store answered (with or without a password).
    std::string error;
};

// The desktop's secret store, holding the SMTP password keyed by server and
// user name; the password never goes into the settings.
class PasswordStore
{
public:
    virtual ~PasswordStore() = default;

    virtual PasswordLookup Lookup(const std::string &server, const std::string &user) = 0;
    // Keeps the password; returns why not, or the empty text when it is kept.
    virtual std::string Store(const std::string &server, const std::string &user,
                              const std::string &password)
        = 0;
};

} // namespace pellwick
