// SPDX-License-Identifier: MIT
#include "platform/platform.h"

#include <unistd.h>

#include <array>

namespace pellwick {

std::string HostName()
{
    // The kernel's name only: asking a resolver for a longer one could block
    // or reach the network.
    std::array<char, 256> name {};
    if (gethostname(name.data(), name.size() - 1) != 0)
        return {};
    return name.data();
}

LocalTime CurrentLocalTime()
{
    const std::time_t now = std::time(nullptr);
    LocalTime local;
    localtime_r(&now, &local.fields);
    local.utcOffsetSeconds = local.fields.tm_gmtoff;
    return local;
}

} // namespace pellwick
