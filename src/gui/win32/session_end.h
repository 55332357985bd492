#pragma once

#include "gui/win32/win32_api.h"

#include <optional>

namespace pellwick {

class frmMain;

// WM_QUERYENDSESSION and WM_ENDSESSION for a shell's top-level window: the
// session may always end, and when it does the program saves first, as Exit
// does. Nullopt for any other message.
std::optional<LRESULT> HandleSessionEnd(frmMain &form, UINT message, WPARAM wParam);

} // namespace pellwick
