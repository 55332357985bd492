// SPDX-License-Identifier: MIT
#include "core/app/command_line.h"

#include <algorithm>
#include <array>
#include <utility>

namespace pellwick {

namespace {

constexpr std::string_view kPasswordFile = "--password-file";

// Each command with the NAME words it takes: none, exactly one, or one or more.
enum class Words { None, One, Many };
constexpr std::array<std::pair<std::string_view, std::pair<SettingsCommand, Words>>, 6> kCommands {{
    {"--list", {SettingsCommand::List, Words::None}},
    {"--get", {SettingsCommand::Get, Words::One}},
    {"--set", {SettingsCommand::Set, Words::Many}},
    {"--unset", {SettingsCommand::Unset, Words::One}},
    {"--set-password", {SettingsCommand::SetPassword, Words::None}},
    {"--status", {SettingsCommand::Status, Words::None}},
}};

bool isSwitch(std::string_view word)
{
    if (word.size() != 2 || (word[0] != '/' && word[0] != '-'))
        return false;
    return word[1] == 's' || word[1] == 'S';
}

InfoRequest infoAskedBy(std::string_view argument)
{
    if (argument == "--version")
        return InfoRequest::Version;
    if (argument == "--help" || argument == "-h" || argument == "/?")
        return InfoRequest::Help;
    return InfoRequest::None;
}

std::string joined(const std::vector<std::string> &arguments)
{
    std::string line;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0)
            line += ' ';
        line += arguments[i];
    }
    return line;
}

// Takes the NAME words after a command at `i`, moving `i` to the last one.
std::string takeWords(CommandLine &result, std::string_view option, Words words,
                      const std::vector<std::string> &arguments, std::size_t &i)
{
    while (i + 1 < arguments.size() && !arguments[i + 1].starts_with('-')
           && !isSwitch(arguments[i + 1]) && (words == Words::Many || result.commandWords.empty()))
        result.commandWords.push_back(arguments[++i]);
    if (words != Words::None && result.commandWords.empty())
        return std::string(option) + (words == Words::One ? " takes a NAME" : " takes NAME=VALUE");
    return {};
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string> &arguments)
{
    CommandLine result;
    result.text = joined(arguments);
    result.loginRun = IsLoginRun(result.text);
    bool headless = false;
    bool sendNow = false;
    std::string problem;
    std::size_t valueAt = arguments.size();
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string &argument = arguments[i];
        const InfoRequest info = infoAskedBy(argument);
        if (result.info == InfoRequest::None)
            result.info = info;
        // The mode words count wherever they stand, even as another option's value.
        sendNow = sendNow || argument == "--send-now";
        headless = headless || argument == "--headless";
        if (i == valueAt)
            continue;
        const auto command
            = std::ranges::find(kCommands, argument, [](const auto &entry) { return entry.first; });
        if (command != kCommands.end()) {
            if (result.command != SettingsCommand::None && problem.empty())
                problem = "only one of --list, --get, --set, --unset, --set-password and "
                          "--status at a time";
            result.command = command->second.first;
            std::string missing = takeWords(result, argument, command->second.second, arguments, i);
            if (problem.empty())
                problem = std::move(missing);
        } else if (argument == "--send-now" || argument == "--headless") {
            continue;
        } else if (argument == kPasswordFile && i + 1 < arguments.size()) {
            // The word after it is its value, whatever it reads.
            valueAt = i + 1;
            result.passwordFile = arguments[valueAt];
        } else if (argument.starts_with(kPasswordFile) && argument[kPasswordFile.size()] == '=') {
            result.passwordFile = argument.substr(kPasswordFile.size() + 1);
        } else if (info == InfoRequest::None && !isSwitch(argument) && problem.empty()) {
            problem = argument == kPasswordFile ? "--password-file takes a FILE"
                                                : "unknown option " + argument;
        }
    }
    result.problem = std::move(problem);
    result.mode = sendNow ? RunMode::SendNow : headless ? RunMode::Headless : RunMode::Window;
    return result;
}

bool IsLoginRun(const std::string &commandLine)
{
    std::size_t start = 0;
    for (;;) {
        const std::size_t blank = commandLine.find(' ', start);
        if (isSwitch(std::string_view(commandLine).substr(start, blank - start)))
            return true;
        if (blank == std::string::npos)
            return false;
        start = blank + 1;
    }
}

} // namespace pellwick
