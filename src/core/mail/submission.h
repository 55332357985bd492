// SPDX-License-Identifier: MIT
#pragma once

#include "core/mail/password_store.h"
#include "core/mail/socket.h"

#include <cstdint>
#include <optional>
#include <string>

namespace pellwick {

// How one mail reaches the server beyond its texts. The defaults are the plain
// port-25 dialogue.
struct Submission
{
    std::uint16_t port = 25;
    Security security = Security::None;
    // Empty: no login.
    std::string user;
    // From the secret store or a password file; never logged, never stored here.
    std::optional<std::string> password;
    // SHA-256 fingerprint of one certificate trusted besides the system's
    // authorities; any case, ":" and blanks optional. Empty: none.
    std::string pin;
    // Why there is no password, when the store or the file said why.
    std::string passwordProblem;

    // EHLO, TLS and login rather than today's HELO dialogue.
    bool Extended() const { return security != Security::None || !user.empty(); }
};

// The four stored values ("SMTPPort", "SMTPSecurity", "SMTPUser", "SMTPPin") as
// a submission for `server`, with its password: from the password file when
// the program was given one, else from the store (asked only when a user is
// set). A port outside 1 to 65535 is 25; an unknown security value asks for
// STARTTLS, since a setting nobody understands must not mean plain text.
Submission SubmissionFromSettings(std::int32_t port, std::int32_t security, const std::string &user,
                                  const std::string &pin, const std::string &server,
                                  PasswordStore *store,
                                  const std::optional<PasswordLookup> &passwordFile);

// Whether the fingerprint is the pinned one (case, ":" and blanks ignored).
bool MatchesPin(const std::string &pin, const std::string &fingerprint);

} // namespace pellwick
