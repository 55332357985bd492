// SPDX-License-Identifier: MIT
#include "platform/platform.h"

#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

namespace pellwick {

std::optional<std::string> ReadPasswordLine()
{
    termios shown {};
    const bool terminal = ::tcgetattr(STDIN_FILENO, &shown) == 0;
    if (terminal) {
        std::fputs("Password: ", stderr);
        std::fflush(stderr);
        termios hidden = shown;
        hidden.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &hidden);
    }
    std::string line;
    const bool read = static_cast<bool>(std::getline(std::cin, line));
    if (terminal) {
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &shown);
        std::fputs("\n", stderr); // the Enter the terminal did not show
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return read ? std::optional(line) : std::nullopt;
}

} // namespace pellwick
