#include "gui/win32/session_end.h"

#include "core/form/frm_main.h"

namespace pellwick {

std::optional<LRESULT> HandleSessionEnd(frmMain &form, UINT message, WPARAM wParam)
{
    if (message == WM_QUERYENDSESSION)
        return TRUE;
    if (message != WM_ENDSESSION)
        return std::nullopt;
    // The session ends whether or not the program has.
    if (wParam)
        form.ExitApp();
    return 0;
}

} // namespace pellwick
