#include "core/mail/submission.h"

namespace pellwick {

namespace {

std::string normalisedFingerprint(const std::string &text)
{
    std::string hex;
    for (const char c : text) {
        if (c == ':' || c == ' ')
            continue;
        hex += (c >= 'a' && c <= 'f') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return hex;
}

} // namespace

Security SecurityFromSetting(std::int32_t value)
{
    switch (value) {
    case 0:
        return Security::None;
    case 2:
        return Security::Tls;
    default:
        return Security::StartTls;
    }
}

Submission SubmissionFromSettings(std::int32_t port, std::int32_t security, const std::string &user,
                                  const std::string &pin, const std::string &server,
                                  PasswordStore *store,
                                  const std::optional<PasswordLookup> &passwordFile)
{
    Submission submission;
    submission.port = port >= 1 && port <= 65535 ? static_cast<std::uint16_t>(port) : 25;
    submission.security = SecurityFromSetting(security);
    submission.user = user;
    submission.pin = pin;
    if (user.empty())
        return submission;
    PasswordLookup lookup;
    if (passwordFile)
        lookup = *passwordFile;
    else if (store)
        lookup = store->Lookup(server, user);
    else
        lookup.error = "no secret store";
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
