#include "core/mail/submission_settings.h"

#include "core/settings/registry.h"
#include "core/settings/settings_table.h"

#include <variant>

namespace pellwick {

namespace {

constexpr const char *kPort = "SMTPPort";
constexpr const char *kSecurity = "SMTPSecurity";
constexpr const char *kUser = "SMTPUser";
constexpr const char *kPin = "SMTPPin";

// A number stored as a number; anything else is the default.
std::int32_t numberOr(const RegistryValue &value, std::int32_t fallback)
{
    const auto *number = std::get_if<std::int32_t>(&value);
    return number ? *number : fallback;
}

std::string textOr(const RegistryValue &value)
{
    const auto *text = std::get_if<std::string>(&value);
    return text ? *text : std::string();
}

} // namespace

SubmissionSettings LoadSubmissionSettings(Registry &registry)
{
    const std::string key(kSettingsKey);
    const SubmissionSettings defaults;
    SubmissionSettings settings;
    settings.port = numberOr(registry.QueryValue(kHkeyLocalMachine, key, kPort, defaults.port),
                             defaults.port);
    settings.security
        = numberOr(registry.QueryValue(kHkeyLocalMachine, key, kSecurity, defaults.security),
                   defaults.security);
    settings.user = textOr(registry.QueryValue(kHkeyLocalMachine, key, kUser, std::string()));
    settings.pin = textOr(registry.QueryValue(kHkeyLocalMachine, key, kPin, std::string()));
    return settings;
}

void SaveSubmissionSettings(Registry &registry, const SubmissionSettings &settings)
{
    const std::string key(kSettingsKey);
    registry.SetKeyValue(kHkeyLocalMachine, key, kPort, settings.port, kRegDword);
    registry.SetKeyValue(kHkeyLocalMachine, key, kSecurity, settings.security, kRegDword);
    registry.SetKeyValue(kHkeyLocalMachine, key, kUser, settings.user, kRegSz);
    registry.SetKeyValue(kHkeyLocalMachine, key, kPin, settings.pin, kRegSz);
}

} // namespace pellwick
