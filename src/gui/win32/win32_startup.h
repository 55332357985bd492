// SPDX-License-Identifier: MIT
#pragma once

#include "gui/win32/win32_api.h"

namespace pellwick {

// The whole run of Pellwick.exe from the command line Windows gives (read with
// GetCommandLineW, in UTF-16): the start-up both shells share, with the message
// loop, window and tray. Returns the exit status.
int RunWin32Program(HINSTANCE instance);

} // namespace pellwick
