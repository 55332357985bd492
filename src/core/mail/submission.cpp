// SPDX-License-Identifier: MIT
#include "core/mail/submission.h"

#include "core/text/text.h"

#include <algorithm>

namespace pellwick {

namespace {

std::string normalisedFingerprint(const std::string &text)
{
    std::string hex = text;
    std::erase_if(hex, [](char c) { return c == ':' || c == ' '; });
    std::ranges::transform(hex, hex.begin(), AsciiLower);
    return hex;
}

} // namespace

Submission SubmissionFromSettings(std::int32_t port, std::int32_t security, const std::string &user,
                                  const std::string &pin, const std::string &server,
                                  PasswordStore *store,
                                  const std::optional<PasswordLookup> &passwordFile)
{
    Submission submission;
    submission.port = port >= 1 && port <= 65535 ? static_cast<std::uint16_t>(port) : 25;
    submission.security = security == 0   ? Security::None
                          : security == 2 ? Security::Tls
                                          : Security::StartTls;
    submission.user = user;
    submission.pin = pin;
    if (user.empty())
        return submission;
    const PasswordLookup lookup = passwordFile ? *passwordFile
                                  : store      ? store->Lookup(server, user)
                                               : PasswordLookup {std::nullopt, "no secret store"};
    submission.password = lookup.password;
    submission.passwordProblem = lookup.error;
    return submission;
}

bool MatchesPin(const std::string &pin, const std::string &fingerprint)
{
    const std::string pinned = normalisedFingerprint(pin);
    // A SHA-256 fingerprint is 64 hex digits; anything shorter pins nothing.
    return pinned.size() == 64 && pinned == normalisedFingerprint(fingerprint);
}

} // namespace pellwick
