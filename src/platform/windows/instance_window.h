// SPDX-License-Identifier: MIT
#pragma once

namespace pellwick {

// A later start of the program hands its request to the running one as a
// message to that program's window: the window class the Win32 shell registers,
// and the name of the message it takes the request as (wParam: InstanceRequest).
inline constexpr wchar_t kInstanceWindowClass[] = L"PellwickMain";
inline constexpr wchar_t kInstanceRequestMessage[] = L"Pellwick.InstanceRequest";

} // namespace pellwick
