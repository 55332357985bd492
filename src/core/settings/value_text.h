#pragma once

#include "core/settings/registry_types.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pellwick {

// A value's text form: a text as it is, an integer as its decimal digits, the
// empty value as the empty text.
std::string ValueText(const RegistryValue &value);

} // namespace pellwick
