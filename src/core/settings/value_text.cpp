#include "core/settings/value_text.h"

namespace pellwick {

std::string ValueText(const RegistryValue &value)
{
    if (const auto *text = std::get_if<std::string>(&value))
        return *text;
    if (const auto *number = std::get_if<std::int32_t>(&value))
        return std::to_string(*number);
    return {};
}

} // namespace pellwick
