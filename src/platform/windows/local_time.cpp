// SPDX-License-Identifier: MIT
#include "platform/platform.h"

namespace pellwick {

LocalTime CurrentLocalTime()
{
    const std::time_t now = std::time(nullptr);
    LocalTime local;
    localtime_s(&local.fields, &now);
    std::tm utc {};
    gmtime_s(&utc, &now);
    utc.tm_isdst = local.fields.tm_isdst;
    local.utcOffsetSeconds
        = static_cast<long>(std::difftime(std::mktime(&local.fields), std::mktime(&utc)));
    return local;
}

} // namespace pellwick
