// SPDX-License-Identifier: MIT
#pragma once

#include "core/app/command_line.h"
#include "core/app/hand_over.h"
#include "core/settings/settings.h"

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pellwick {

// Exit statuses of the commands, in the manner of sysexits: the arguments
// cannot be followed (an unknown option, name or a bad value); nothing runs
// to ask (--status).
inline constexpr int kUsageStatus = 64;
inline constexpr int kNotRunningStatus = 3;

// One stored value to take a new value.
struct SettingChange
{
    std::string_view name;
    SettingValue value;

    bool operator==(const SettingChange &) const = default;
};

// The change "NAME=VALUE" asks for, or (no '=') the return of NAME to its
// default; the name matched without regard to case, the value checked by the
// row's type and range. Else one line saying which and why.
std::variant<SettingChange, std::string> CheckedChange(std::string_view word);

// Runs --list, --get, --set or --unset on `current`: what to print and the
// status, and the changes to apply (none unless every word was good).
struct SettingsCommandResult
{
    HandOverReply reply;
    std::vector<SettingChange> changes;
};
SettingsCommandResult RunSettingsCommand(const CommandLine &asked, const Settings &current);

} // namespace pellwick
