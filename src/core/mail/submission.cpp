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

std::optional<Security> SecurityFromSetting(std::int32_t value)
{
    switch (value) {
    case 0:
        return Security::None;
    case 1:
        return Security::StartTls;
    case 2:
        return Security::Tls;
    default:
        return std::nullopt;
    }
}

bool MatchesPin(const std::string &pin, const std::string &fingerprint)
{
    const std::string pinned = normalisedFingerprint(pin);
    // A SHA-256 fingerprint is 64 hex digits; anything shorter pins nothing.
    return pinned.size() == 64 && pinned == normalisedFingerprint(fingerprint);
}

} // namespace pellwick
