#pragma once

#include "gui/win32/win32_api.h"

namespace pellwick {

// The object a window was made for (CreateWindowExW's last argument), kept in
// the window's user data from its first message on; nullptr before that.
template<class Object>
Object *WindowObject(HWND window, UINT message, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto *create = reinterpret_cast<const CREATESTRUCTW *>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    return reinterpret_cast<Object *>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

} // namespace pellwick
