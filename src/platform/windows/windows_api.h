// SPDX-License-Identifier: MIT
#pragma once

// The Windows API as the settings code uses it: without the rarely used parts
// and without the min/max macros that break std::min and std::max.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
