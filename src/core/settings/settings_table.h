#pragma once

#include "core/form/controls.h"
#include "core/settings/registry.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace pellwick {

enum class ControlKind { TextBox, CheckBox, ComboBox };

// One option: the registry value that stores it, the control of the window that
// holds it, the registry type it is written with and its default.
struct SettingRow
{
    std::string_view valueName;
    Control control;
    ControlKind kind;
    std::uint32_t type;
    RegistryValue defaultValue;
};

// Every option lives directly in this key under the machine root.
inline constexpr std::string_view kSettingsKey = "Software\\Pellwick";

// The nineteen options in the order they are loaded.
const std::array<SettingRow, 19> &SettingsTable();

// The nineteen options in the order they are saved: the mail texts first
// (server, recipient, body, sender, subject), then the rest in load order.
const std::array<const SettingRow *, 19> &SettingsSaveOrder();

} // namespace pellwick
