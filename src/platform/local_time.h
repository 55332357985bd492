// SPDX-License-Identifier: MIT
#pragma once

#include "core/mail/message.h"

namespace pellwick {

// The host's local time now, with its real UTC offset.
LocalTime CurrentLocalTime();

} // namespace pellwick
