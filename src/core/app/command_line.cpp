// SPDX-License-Identifier: MIT
#include "core/app/command_line.h"

namespace pellwick {

namespace {

constexpr std::string_view kPasswordFile = "--password-file";

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

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string> &arguments)
{
    CommandLine result;
    result.text = joined(arguments);
    result.loginRun = IsLoginRun(result.text);
    bool headless = false;
    bool sendNow = false;
    // The word after "--password-file" is its value, whatever it reads.
    std::size_t valueAt = arguments.size();
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string &argument = arguments[i];
        const InfoRequest info = infoAskedBy(argument);
        if (result.info == InfoRequest::None)
            result.info = info;
        sendNow = sendNow || argument == "--send-now";
        headless = headless || argument == "--headless";
        if (i == valueAt)
            continue;
        if (argument == kPasswordFile && i + 1 < arguments.size()) {
            valueAt = i + 1;
            result.passwordFile = arguments[valueAt];
        } else if (argument.starts_with(kPasswordFile) && argument[kPasswordFile.size()] == '=') {
            result.passwordFile = argument.substr(kPasswordFile.size() + 1);
        } else if (info == InfoRequest::None && !isSwitch(argument) && argument != "--send-now"
                   && argument != "--headless") {
            result.unknown.push_back(argument);
        }
    }
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
