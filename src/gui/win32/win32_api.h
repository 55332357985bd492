// SPDX-License-Identifier: MIT
#pragma once

// The Windows API as the shell uses it: Winsock 2 before windows.h (which would
// otherwise bring the old Winsock), without the min/max macros that break
// std::min and std::max, and with Unicode entry points.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef UNICODE
#define UNICODE
#endif
#include <winsock2.h>
#include <ws2tcpip.h>

#include <windows.h>
