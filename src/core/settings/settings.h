// SPDX-License-Identifier: MIT
#pragma once

#include "core/settings/store.h"
#include "core/window/controls.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pellwick {

// A value as the program handles it: a text (UTF-8) or a 32-bit signed number.
using SettingValue = std::variant<std::string, std::int32_t>;

// A text is stored with its NUL, a number as its four bytes.
StoredValue Stored(const SettingValue &value);
// What a stored value stands for: a text without its last NUL (no bytes at all
// is none), a number of at most four bytes; any other type is none.
std::optional<SettingValue> Decoded(const StoredValue &stored);

// The kind of control that shows a value in the window.
enum class ControlKind { None, TextBox, CheckBox, ComboBox };

// One stored value: its name, its default (whose kind is the stored type), the
// control that shows it; a number loaded from outside min to max is `outside`,
// a text holds at most max characters (as a text control counts them).
struct SettingRow
{
    std::string_view name;
    SettingValue fallback;
    ControlKind kind = ControlKind::None;
    Control control = Control::Tabs;
    std::int32_t min = 0;
    std::int32_t max = 0;
    std::int32_t outside = 0;
};

// The stored value of whom the public address is asked (its sources, numbered
// as PublicAddressSource numbers them).
inline constexpr std::string_view kPublicAddressSourceName = "PublicAddressSource";

// Every value the program stores under its key, in the order they are saved:
// the mail texts first, as the record has always been written.
std::span<const SettingRow> SettingsTable();
// The row of that name; the name must be one of the table's.
const SettingRow &SettingRowNamed(std::string_view name);

// One value for each row of the table.
class Settings
{
public:
    Settings();

    // Every row as stored: a text row takes a number as its digits, a number row
    // a text of one; what a row cannot take is its default, a text too long is cut.
    static Settings Load(SettingsStore &store);
    // Writes the values changed since the load or the last save and commits them
    // (nothing at all when none changed): Commit's result. A value that was
    // changed in the store meanwhile too is overwritten, and `overwritten` gets
    // its name; the store's other values stay as they are.
    std::string Save(SettingsStore &store,
                     const std::function<void(std::string_view name)> &overwritten = {});

    const std::string &Text(std::string_view name) const
    {
        return std::get<std::string>(m_values[RowOf(name)]);
    }
    std::int32_t Number(std::string_view name) const
    {
        return std::get<std::int32_t>(m_values[RowOf(name)]);
    }
    void Set(std::string_view name, SettingValue value)
    {
        m_values[RowOf(name)] = std::move(value);
    }

    // Takes the values of `later` (a later load) for the rows this run has not
    // changed since the load or the last save; a changed row keeps its value,
    // and Save tells of it as overwritten. The names of the rows whose value
    // changed, in the table's order.
    std::vector<std::string_view> TakeUnchanged(const Settings &later);

    bool operator==(const Settings &other) const { return m_values == other.m_values; }

    // The index of the row of that name in SettingsTable.
    static std::size_t RowOf(std::string_view name);

private:
    std::vector<SettingValue> m_values;
    // The values as the store held them at the load or the last save.
    std::vector<SettingValue> m_stored;
};

} // namespace pellwick
