// SPDX-License-Identifier: MIT
#pragma once

#include "platform/single_instance.h"
#include "platform/windows/windows_api.h"

#include <functional>

namespace pellwick {

// The window class the Win32 shell registers for the program's window, and
// the message that carries a later start's request onto its thread (lParam:
// the call that answers it).
inline constexpr wchar_t kInstanceWindowClass[] = L"PellwickMain";
inline constexpr wchar_t kInstanceRequestMessage[] = L"Pellwick.InstanceRequest";

// Runs a call on `window`'s thread and returns once it has run, or at once
// when the window is gone; a window that does not answer within 10 s is left.
inline SingleInstance::OnLoop RunOnWindow(HWND window)
{
    const UINT message = RegisterWindowMessageW(kInstanceRequestMessage);
    return [window, message](const std::function<void()> &call) {
        SendMessageTimeoutW(window, message, 0, reinterpret_cast<LPARAM>(&call), SMTO_NORMAL, 10000,
                            nullptr);
    };
}

// On the window's thread: runs the call a RunOnWindow message carries; false
// for any other message.
inline bool RunCarriedCall(UINT message, LPARAM lParam)
{
    static const UINT request = RegisterWindowMessageW(kInstanceRequestMessage);
    if (message != request)
        return false;
    (*reinterpret_cast<const std::function<void()> *>(lParam))();
    return true;
}

} // namespace pellwick
