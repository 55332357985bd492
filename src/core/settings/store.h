// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pellwick {

// Type codes of stored values, numbered as the registry numbers them.
inline constexpr std::uint32_t kTextType = 1; // text and one NUL
inline constexpr std::uint32_t kBinaryType = 3;
inline constexpr std::uint32_t kNumberType = 4; // 32 bits, little-endian

struct StoredValue
{
    std::uint32_t type = 0;
    std::string bytes;

    bool operator==(const StoredValue &) const = default;
};

// The program's own key, below the machine root.
inline constexpr std::string_view kSettingsKey = "Software\\Pellwick";

// The values under one key. Names are matched without regard to case.
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;

    // The value under the name, writes not yet committed included; none when
    // there is none or it cannot be read.
    virtual std::optional<StoredValue> Read(const std::string &name) = 0;
    // Stores the value, or removes it (none), at the next Commit.
    virtual void Write(const std::string &name, std::optional<StoredValue> value) = 0;
    // Puts the writes since the last Commit into the store as one: the empty
    // text, or the line that told the user what could not be saved and why.
    virtual std::string Commit() = 0;
    // Why the values are there but could not be read ("cannot read the settings
    // file …: it is not a regular file"); empty when they were read or there are
    // none yet. Nothing is to be done with defaults standing in for such values.
    virtual std::string Unreadable() { return {}; }
};

} // namespace pellwick
