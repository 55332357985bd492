// SPDX-License-Identifier: MIT
#include "core/tray/stderr_notify_area.h"

#include <algorithm>
#include <cstdio>

namespace pellwick {

void WriteMessageLine(const std::string &title, const std::string &text)
{
    std::string line = title + ": " + text;
    std::replace_if(
        line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

} // namespace pellwick
