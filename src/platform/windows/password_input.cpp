// SPDX-License-Identifier: MIT
#include "platform/platform.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_api.h"

#include <cstdio>
#include <iostream>

namespace pellwick {

std::optional<std::string> ReadPasswordLine()
{
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD shown = 0;
    // A console reads whole lines in UTF-16; it is told not to show them.
    if (input != nullptr && input != INVALID_HANDLE_VALUE && GetConsoleMode(input, &shown)) {
        std::fputs("Password: ", stderr);
        std::fflush(stderr);
        SetConsoleMode(input, shown & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
        std::wstring line(4096, L'\0');
        DWORD got = 0;
        const BOOL read
            = ReadConsoleW(input, line.data(), static_cast<DWORD>(line.size()), &got, nullptr);
        SetConsoleMode(input, shown);
        std::fputs("\n", stderr);
        if (!read)
            return std::nullopt;
        line.resize(got);
        line.erase(line.find_last_not_of(L"\r\n") + 1);
        return Narrow(line);
    }
    std::string line;
    if (!std::getline(std::cin, line))
        return std::nullopt;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

} // namespace pellwick
