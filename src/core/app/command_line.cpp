#include "core/app/command_line.h"

namespace pellwick {

namespace {

bool isSwitch(const std::string &word)
{
    if (word.size() != 2 || (word[0] != '/' && word[0] != '-'))
        return false;
    return word[1] == 's' || word[1] == 'S';
}

} // namespace

std::string JoinArguments(const std::vector<std::string> &arguments)
{
    std::string line;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0)
            line += ' ';
        line += arguments[i];
    }
    return line;
}

bool IsLoginRun(const std::string &commandLine)
{
    std::size_t start = 0;
    for (;;) {
        const std::size_t blank = commandLine.find(' ', start);
        if (isSwitch(commandLine.substr(start, blank - start)))
            return true;
        if (blank == std::string::npos)
            return false;
        start = blank + 1;
    }
}

RunMode ChosenRunMode(const std::vector<std::string> &arguments)
{
    RunMode mode = RunMode::Window;
    for (const std::string &argument : arguments) {
        if (argument == "--send-now")
            return RunMode::SendNow;
        if (argument == "--headless")
            mode = RunMode::Headless;
    }
    return mode;
}

std::string NoDisplayLine(RunMode mode, const std::string &display, const std::string &wayland,
                          const std::string &platform)
{
    if (mode != RunMode::Window || !display.empty() || !wayland.empty() || !platform.empty())
        return {};
    return "pellwick: no display to show the window on (DISPLAY and WAYLAND_DISPLAY are not "
           "set); use --headless to run without one, or --send-now to send one email";
}

} // namespace pellwick
