// SPDX-License-Identifier: MIT
#include "platform/platform.h"

namespace pellwick {

LocalTime CurrentLocalTime()
{
    const std::time_t now = std::time(nullptr);
    LocalTime local;
    localtime_r(&now, &local.fields);
    local.utcOffsetSeconds = local.fields.tm_gmtoff;
    return local;
}

} // namespace pellwick
