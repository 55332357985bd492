// SPDX-License-Identifier: MIT
#include "core/app/settings_command.h"

#include "core/text/text.h"

#include <algorithm>

namespace pellwick {

namespace {

std::string printed(const SettingValue &value)
{
    if (const auto *number = std::get_if<std::int32_t>(&value))
        return std::to_string(*number);
    return std::get<std::string>(value);
}

// A text in double quotes, its quotes, backslashes and line breaks escaped as
// the settings file writes them, so that each value takes one line.
std::string quoted(const std::string &text)
{
    std::string result = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            result += '\\';
        result += c == '\n'   ? std::string("\\n")
                  : c == '\r' ? std::string("\\r")
                              : std::string(1, c);
    }
    return result + '"';
}

const SettingRow *rowNamed(std::string_view name)
{
    for (const SettingRow &row : SettingsTable()) {
        if (EqualsIgnoringAsciiCase(row.name, name))
            return &row;
    }
    return nullptr;
}

std::string listing(const Settings &current)
{
    std::string text;
    for (const SettingRow &row : SettingsTable()) {
        const bool isText = std::holds_alternative<std::string>(row.fallback);
        const SettingValue value = isText ? SettingValue(current.Text(row.name))
                                          : SettingValue(current.Number(row.name));
        std::string line = std::string(row.name);
        line.resize(std::max<std::size_t>(line.size() + 1, 18), ' ');
        line += isText ? "string " : "dword  ";
        line += isText ? quoted(printed(value)) : printed(value);
        text += line + (value == row.fallback ? "  (default)\n" : "\n");
    }
    return text;
}

} // namespace

std::variant<SettingChange, std::string> CheckedChange(std::string_view word)
{
    const std::size_t equals = word.find('=');
    const std::string_view name = word.substr(0, equals);
    const SettingRow *row = rowNamed(name);
    if (!row)
        return "no stored value is named " + std::string(name) + " (--list names them all)";
    if (equals == std::string_view::npos)
        return SettingChange {row->name, row->fallback};
    const std::string_view text = word.substr(equals + 1);
    const std::string which = std::string(row->name) + "=" + std::string(text) + ": ";
    if (std::holds_alternative<std::string>(row->fallback)) {
        if (ControlCutLength(text, static_cast<std::size_t>(row->max)) < text.size())
            return which + "longer than " + std::to_string(row->max) + " characters";
        return SettingChange {row->name, std::string(text)};
    }
    const auto number = ParseWholeNumber(text);
    if (!number || *number < row->min || *number > row->max)
        return which + "not a whole number from " + std::to_string(row->min) + " to "
               + std::to_string(row->max);
    return SettingChange {row->name, static_cast<std::int32_t>(*number)};
}

SettingsCommandResult RunSettingsCommand(const CommandLine &asked, const Settings &current)
{
    SettingsCommandResult result;
    if (asked.command == SettingsCommand::List) {
        result.reply.out = listing(current);
        return result;
    }
    for (const std::string &word : asked.commandWords) {
        // --get and --unset name a value, --set gives it one.
        const bool assigns = word.find('=') != std::string::npos;
        auto checked = assigns != (asked.command == SettingsCommand::Set)
                           ? std::variant<SettingChange, std::string>(
                               asked.command == SettingsCommand::Set
                                   ? word + ": NAME=VALUE expected"
                                   : word + ": a NAME expected, without a value")
                           : CheckedChange(word);
        if (const auto *problem = std::get_if<std::string>(&checked)) {
            result.reply = FailureReply(kUsageStatus, "pellwick: " + *problem);
            result.changes.clear();
            return result;
        }
        const SettingChange &change = std::get<SettingChange>(checked);
        if (asked.command == SettingsCommand::Get) {
            const bool isText = std::holds_alternative<std::string>(change.value);
            result.reply.out
                = (isText ? current.Text(change.name) : std::to_string(current.Number(change.name)))
                  + "\n";
        } else {
            result.changes.push_back(change);
        }
    }
    return result;
}

} // namespace pellwick
