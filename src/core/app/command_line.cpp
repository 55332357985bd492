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

} // namespace pellwick
