#pragma once

#include "gui/win32/win32_api.h"

namespace pellwick {

// Runs the program: the window, its message loop, and the exit code ExitApp gives.
int RunWin32App(HINSTANCE instance, int show);

} // namespace pellwick
