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

// The number written by an optional sign and at least one decimal digit, nothing
// else around them. Numbers beyond 64 bits saturate; only their sign and whether
// they are zero survive, which is all a caller can use from them.
std::optional<std::int64_t> ParseInteger(std::string_view text);

} // namespace pellwick
